#pragma once
// The per-sample arithmetic of the amplitude operations, for one sample width at a time. The
// block loops call these with the width fixed at compile time.

#include <cstdint>

namespace pelmora::amp {

template <int Bytes>
inline constexpr std::int32_t kMinOf = Bytes == 4 ? INT32_MIN : -(std::int32_t{1} << (8 * Bytes - 1));
template <int Bytes>
inline constexpr std::int32_t kMaxOf = -(kMinOf<Bytes> + 1);

template <int Bytes>
constexpr std::int32_t Clamp(std::int64_t v) {
    return v > kMaxOf<Bytes> ? kMaxOf<Bytes> : v < kMinOf<Bytes> ? kMinOf<Bytes> : static_cast<std::int32_t>(v);
}

// Gain and Normalize: the integer part (toward zero) of sample × factor, limited to the width.
// Every width saturates on the product itself, so no result can leave the width.
template <int Bytes>
inline std::int32_t Scale(std::int32_t sample, double factor) {
    // Limited before the conversion (which truncates toward zero), without branches, so
    // that the loop around it vectorises.
    double product = static_cast<double>(sample) * factor;
    product = product < kMinOf<Bytes> ? kMinOf<Bytes> : product;
    product = product > kMaxOf<Bytes> ? kMaxOf<Bytes> : product;
    return static_cast<std::int32_t>(product);
}

// The Normalize factor that puts `peak` at `rate` percent of the width's full scale.
inline double NormalizeFactor(int bytesPerSample, int rate, std::uint64_t peak) {
    const double p = static_cast<double>(peak);
    switch (bytesPerSample) {
    case 1: return rate * 1.27 / p;
    case 2: return rate * 327.67 / p;
    case 3: return rate * 83886.07 / p;
    default: return 2147483647.0 / p * rate * 0.01;
    }
}

// Fade gain accumulator: 32-bit fixed point; the gain applied is (g >> 16) / 32768.
inline constexpr std::int64_t kFadeInStart = 0;
inline constexpr std::int64_t kFadeOutStart = 0x7FFFFFFF;
inline std::int64_t FadeInStep(std::uint32_t frames) {
    return static_cast<std::int64_t>(2147483647.0 / frames);
}
inline std::int64_t FadeOutStep(std::uint32_t frames) {
    return static_cast<std::int64_t>(-2147483648.0 / frames);
}

// One sample at the gain g >> 16 (0 … 32767).
template <int Bytes>
inline std::int32_t Fade(std::int32_t sample, std::int32_t gain16) {
    if constexpr (Bytes < 4) {
        return static_cast<std::int32_t>((static_cast<std::int64_t>(sample) * gain16) >> 15);
    } else {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(sample >> 16) * gain16 * 2);
    }
}

// DC Offset: the largest offset a sound of `bitsPerSample` stored bits takes, M.
inline std::int32_t MaxDcOffset(int bitsPerSample) {
    const int bits = bitsPerSample < 1 ? 1 : bitsPerSample > 32 ? 32 : bitsPerSample;
    return static_cast<std::int32_t>(0x7FFFFFFF >> (32 - bits));
}
// A typed offset limited to −1 − M … M.
inline std::int32_t LimitDcOffset(std::int64_t value, int bitsPerSample) {
    const std::int64_t m = MaxDcOffset(bitsPerSample);
    return static_cast<std::int32_t>(value > m ? m : value < -1 - m ? -1 - m : value);
}

}  // namespace pelmora::amp
