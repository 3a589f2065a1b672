#pragma once
// The equaliser's integer arithmetic: values in block floating point (a 16-bit mantissa m and
// an exponent e, standing for m × 2^e), three sections in cascade, and the conversions from and
// to each sample width. Everything is inline so that the block loop compiles per width.

#include <array>
#include <cstdint>

#include "edit/EqDesign.h"

namespace pelmora::eq {

struct Value {
    std::int32_t m = 0;  // −32768 … 32767
    std::int32_t e = 0;  // ≥ 0
};

// The history of one section: its last two inputs and outputs.
struct SectionState {
    Value x1, x2, y1, y2;
};

// One channel's history through the cascade; all zero at the start of a run.
using ChannelState = std::array<SectionState, 3>;

// What the last section produced before its result was normalised: the Q4 sum and the rounded
// value, in mantissa units. The output conversions take these.
struct Raw {
    std::int64_t acc = 0;
    std::int64_t y = 0;
};

// (c × m) >> (10 − e), taken as ((c × m) << e) >> 10, which is the same for e ≤ 10 and still
// defined for a larger exponent.
inline std::int64_t Term(std::int32_t c, Value v) {
    return (static_cast<std::int64_t>(c * v.m) << v.e) >> 10;
}

// Far above anything a stable cascade reaches from a full-scale input; a section that ran away
// saturates there instead of overflowing.
inline constexpr std::int32_t kMaxExponent = 20;

inline Value Normalise(std::int64_t y) {
    Value v;
    while ((y < -32768 || y > 32767) && v.e < kMaxExponent) {
        y >>= 1;
        ++v.e;
    }
    v.m = static_cast<std::int32_t>(y < -32768 ? -32768 : y > 32767 ? 32767 : y);
    return v;
}

inline Raw RunSection(const EqSection& c, SectionState& s, Value x0) {
    const std::int64_t acc = Term(c.b0, x0) + Term(c.b1, s.x1) + Term(c.b2, s.x2) + Term(c.fb1, s.y1) +
                             Term(c.fb2, s.y2);
    const std::int64_t y = (acc >> 4) + ((acc >> 3) & 1);
    s.x2 = s.x1;
    s.x1 = x0;
    s.y2 = s.y1;
    s.y1 = Normalise(y);
    return {acc, y};
}

// Low, mid, high: each section's normalised output is the next one's input.
inline Raw RunCascade(const EqCascade& cascade, ChannelState& state, std::int32_t mantissa) {
    Raw r = RunSection(cascade[0], state[0], {mantissa, 0});
    r = RunSection(cascade[1], state[1], state[0].y1);
    return RunSection(cascade[2], state[2], state[1].y1);
}

// A sample of the width as an input mantissa.
template <int Bytes>
inline std::int32_t Input(std::int32_t sample) {
    if constexpr (Bytes == 1) return sample * 256;
    else if constexpr (Bytes == 2) return sample;
    else if constexpr (Bytes == 3) return sample >> 8;
    else return sample >> 16;
}

// The last section's result as a sample of the width, limited to its range.
template <int Bytes>
inline std::int32_t Output(Raw r) {
    const std::int64_t y = r.y;
    if constexpr (Bytes == 1) {
        if (y < -32768) return -128;
        if (y > 32512) return 127;
        return static_cast<std::int32_t>((y >> 8) + ((y >> 7) & 1));
    } else if constexpr (Bytes == 2) {
        return static_cast<std::int32_t>(y < -32768 ? -32768 : y > 32767 ? 32767 : y);
    } else if constexpr (Bytes == 3) {
        const std::int64_t v = r.acc * 16 + ((r.acc & 15) != 0 ? 1 : 0);
        return static_cast<std::int32_t>(v < -8388608 ? -8388608 : v > 8388607 ? 8388607 : v);
    } else {
        if (y < -32768) return INT32_MIN;
        if (y > 32767) return INT32_MAX;
        return static_cast<std::int32_t>(y * 65536);
    }
}

}  // namespace pelmora::eq
