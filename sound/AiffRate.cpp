#include "sound/AiffRate.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "sound/Bytes.h"

namespace pelmora::aiff {

namespace {
constexpr int kExponentBias = 16383;
// Exponent at which the upper 32 mantissa bits are the integer value itself.
constexpr int kIntegerExponent = kExponentBias + 31;
}  // namespace

std::uint32_t DecodeRate(const std::uint8_t* bytes) {
    const int exponent = LoadBE16(bytes) & 0x7FFF;
    const std::uint32_t mantissa = LoadBE32(bytes + 2);
    const double value = std::ldexp(static_cast<double>(mantissa), exponent - kIntegerExponent);
    if (!(value < 4294967296.0)) return UINT32_MAX;
    return static_cast<std::uint32_t>(value);
}

void EncodeRate(std::uint32_t rate, std::uint8_t* bytes) {
    std::memset(bytes, 0, kRateBytes);
    if (rate == 0) return;
    const int top = 31 - std::countl_zero(rate);
    StoreBE16(bytes, static_cast<std::uint16_t>(kExponentBias + top));
    StoreBE32(bytes + 2, rate << (31 - top));
}

}  // namespace pelmora::aiff
