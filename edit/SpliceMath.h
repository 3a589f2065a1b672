#pragma once
// What Pitch Shift and Time Comp/Exp share: the segment length for a ratio, the search for the
// strongest frame around a splice point, and the clamp of a mixed value to the sample width.

#include <cmath>
#include <cstdint>

namespace pelmora::splice {

inline constexpr std::uint32_t kBlockFrames = 32768;
inline constexpr double kPitchSlope = 62500.00000000001;
inline constexpr double kTimeSlope = 72916.66666666667;

// Segment lengths in frames; r and q are the pitch and time ratios.
inline std::int64_t PitchUpWidth(double r) { return static_cast<std::int64_t>(20000 - (r - 1.01) * kPitchSlope); }
inline std::int64_t PitchDownWidth(double r) { return static_cast<std::int64_t>((r - 0.99) * kPitchSlope + 20000); }
inline std::int64_t CompressionWidth(double q) { return static_cast<std::int64_t>((q - 0.99) * kTimeSlope + 20000); }
inline std::int64_t ExpansionWidth(double q) { return static_cast<std::int64_t>(20000 - (q - 1.01) * kTimeSlope); }

inline std::int64_t Trunc(double v) { return static_cast<std::int64_t>(v); }

struct SampleRange {
    std::int64_t min, max;
    std::int64_t operator()(std::int64_t v) const { return v < min ? min : v > max ? max : v; }
};

// The frame in [from, to) whose channel sum is largest, the first one on ties; `from` when the
// window is empty. `sum(frame)` gives the sum; the caller keeps the window inside its data.
template <typename Sum>
std::int64_t StrongestFrame(std::int64_t from, std::int64_t to, Sum&& sum) {
    std::int64_t best = from;
    if (from >= to) return best;
    std::int64_t bestSum = sum(from);
    for (std::int64_t j = from + 1; j < to; ++j) {
        const std::int64_t s = sum(j);
        if (s > bestSum) {
            bestSum = s;
            best = j;
        }
    }
    return best;
}

}  // namespace pelmora::splice
