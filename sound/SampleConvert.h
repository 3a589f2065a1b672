#pragma once
// Conversions between encodings and widths, and the 32-bit float pair used for MP3 exchange.

#include <cstddef>
#include <cstdint>

#include "sound/FileType.h"

namespace pelmora {

// Re-encodes byteCount / bytesPerSample samples in place from `source` to the other type:
// byte order swapped, and the sign bit of 8-bit samples flipped.
void ConvertBufferType(FileType source, int bytesPerSample, std::uint8_t* buffer,
                       std::size_t byteCount);

// One sample moved between widths by shifting: left when widening, arithmetic right when
// narrowing. No rounding, dithering or clipping.
inline std::int32_t ConvertSampleWidth(std::int32_t value, int fromBytes, int toBytes) {
    const int shift = 8 * (toBytes - fromBytes);
    if (shift >= 0) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) << shift);
    return value >> -shift;
}

// Converts `samples` samples from one width and type to another (buffers must not overlap).
void ConvertSampleBlock(FileType fromType, int fromBytes, const std::uint8_t* from,
                        FileType toType, int toBytes, std::uint8_t* to, std::size_t samples);

// WAV only: a stored 32-bit float scaled to the 32-bit integer range, limited to the range
// that survives a 16-bit round trip. AIFF and a stored word of 0 give 0.0.
double ReadFloatSample(FileType type, const std::uint8_t* p);
// WAV: stores v × 2^-31 as a 32-bit float; AIFF: stores 0.0.
void WriteFloatSample(FileType type, std::uint8_t* p, std::int32_t v);

}  // namespace pelmora
