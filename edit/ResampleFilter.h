#pragma once
// The resampler's arithmetic: the Kaiser-windowed sinc table, the taps of one output frame
// read from it with linear interpolation, and the accumulation and rounding of each sample
// width. Kept apart from the streaming so that tests can hold it against the formulas.

#include <cstdint>
#include <vector>

namespace pelmora {

inline constexpr int kResamplePhases = 1;  // L: fixed, never shown

// I0(x) = 1 + the sum over k = 1 … 19 of ((x / 2)^k / k!)^2.
double BesselI0(double x);
double KaiserBeta(double attenuation);

// The N coefficients t[0 … N − 1], symmetric about (N − 1) / 2, followed by one 0 so that the
// last tap at phase fraction 0 reads a zero.
std::vector<double> DesignResampleTable(int order, int rejection, std::uint32_t oldRate, std::uint32_t newRate);

// Where output frame j reads: input frame i and the taps c_0 … c_{K−1} (K = N − 1), for input
// frames i − H … i − H + K − 1 (H = (N − 1) / 2).
struct ResampleTaps {
    std::int64_t first = 0;  // i − H
    std::vector<double> c;
};
void TapsForOutput(const std::vector<double>& table, int order, double step, std::uint64_t j, ResampleTaps& taps);

// One output sample from `count` input samples and their taps, rounded for the width.
std::int32_t Accumulate8Or24(const std::int32_t* x, const double* c, int count, int bytesPerSample);
std::int32_t Accumulate16(const std::int32_t* x, const double* c, int count);
// The same for taps within ±1, from the samples already multiplied by 32768: every term then
// fits 32 bits and any sum of up to 1024 of them is exact in a double, so the result is
// Accumulate16's whatever the order of the additions, which lets them run two at a time.
std::int32_t Accumulate16Scaled(const double* scaled, const double* c, int count);
// The fastest form of Accumulate16Scaled this processor runs (four taps at a time with AVX2).
using ScaledAccumulator = std::int32_t (*)(const double* scaled, const double* c, int count);
ScaledAccumulator FastestAccumulate16Scaled();
// Whether every entry of the table lies within ±1.
bool TableWithinUnit(const std::vector<double>& table);
std::int32_t Accumulate32(const std::int32_t* x, const double* c, int count);

}  // namespace pelmora
