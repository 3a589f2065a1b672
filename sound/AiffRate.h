#pragma once
// The sample rate of an AIFF COMM chunk, an 80-bit IEEE 754 extended value.

#include <cstddef>
#include <cstdint>

namespace pelmora::aiff {

inline constexpr std::size_t kRateBytes = 10;

// The sign is ignored and only the upper 32 bits of the mantissa count; the result is
// truncated toward zero and limited to the 32-bit range.
std::uint32_t DecodeRate(const std::uint8_t* bytes);

// A normalised extended value with an explicit integer bit; 0 is all zero bytes.
void EncodeRate(std::uint32_t rate, std::uint8_t* bytes);

}  // namespace pelmora::aiff
