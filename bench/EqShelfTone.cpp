// The tone at half the sample rate that a shelf builds up on long noise, in the two ways a shelf
// can run: written as a second-order section (the bilinear transform as it stands, with its zero
// and pole at z = −1 quantised separately), and as the first-order section the editor runs.
//
// For each second of 16-bit Gaussian noise it prints the amplitude, in LSB, of the half-rate
// component of the error against the unquantised shelf computed in double precision:
// |Σ (−1)^n e[n]| / n over the second. A steady tone shows as a figure that grows or stays large;
// rounding noise alone averages down to a small fraction of an LSB.
//
// bench/eq.sh builds and runs it; by hand:
//   c++ -std=c++20 -O2 -I. bench/EqShelfTone.cpp edit/EqDesign.cpp edit/EqBands.cpp -o shelf-tone
//   ./shelf-tone [SECONDS]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "edit/EqDesign.h"
#include "edit/EqFilter.h"

using namespace pelmora;

namespace {

constexpr std::uint32_t kRate = 44100;

// The shelf quantised as the second-order section the bilinear transform gives.
EqSection SecondOrder(const EqBand& band) {
    const EqDigital d = EqBilinear(EqPrototype(band, EqPrewarp(band.frequency, kRate)));
    return {QuantiseQ14(d.b0 / d.a0), QuantiseQ14(d.b1 / d.a0), QuantiseQ14(d.b2 / d.a0), QuantiseQ14(-d.a1 / d.a0),
            QuantiseQ14(-d.a2 / d.a0)};
}

std::int64_t Clamp16(std::int64_t y) { return y < -32768 ? -32768 : y > 32767 ? 32767 : y; }

void Measure(const char* name, const EqBand& band, int seconds) {
    const EqDigital d = EqBilinear(EqPrototype(band, EqPrewarp(band.frequency, kRate)));
    // The ideal first-order shelf: (p0 + p1 z⁻¹) / (q0 + q1 z⁻¹), p0 = b0, p1 = b2, q0 = a0, q1 = a2.
    const double p0 = d.b0 / d.a0, p1 = d.b2 / d.a0, q1 = d.a2 / d.a0;
    const EqSection forms[2] = {SecondOrder(band), EqDesignSection(band, kRate)};
    std::printf("%s: second order (%d %d %d | %d %d), first order (%d %d | %d)\n", name, forms[0].b0, forms[0].b1,
                forms[0].b2, forms[0].fb1, forms[0].fb2, forms[1].b0, forms[1].b1, forms[1].fb1);
    std::printf("%8s %22s %22s\n", "second", "second-order tone LSB", "first-order tone LSB");

    std::mt19937 random(17);
    std::normal_distribution<double> noise(0.0, 6000.0);
    eq::SectionState states[2];
    double idealX1 = 0, idealY1 = 0;
    double worst[2] = {0, 0};
    for (int second = 1; second <= seconds; ++second) {
        double sums[2] = {0, 0};
        for (std::uint32_t n = 0; n < kRate; ++n) {
            const auto x = static_cast<std::int32_t>(std::clamp(std::lround(noise(random)), -32768L, 32767L));
            const double ideal = p0 * x + p1 * idealX1 - q1 * idealY1;
            idealX1 = x;
            idealY1 = ideal;
            const double sign = (n & 1) ? -1.0 : 1.0;  // kRate is even: every second starts even
            for (int f = 0; f < 2; ++f) {
                const eq::Raw r = eq::RunSection(forms[f], states[f], {x, 0});
                sums[f] += sign * (static_cast<double>(Clamp16(r.y)) - ideal);
            }
        }
        const double tone[2] = {std::abs(sums[0]) / kRate, std::abs(sums[1]) / kRate};
        for (int f = 0; f < 2; ++f) worst[f] = std::max(worst[f], tone[f]);
        std::printf("%8d %22.2f %22.2f\n", second, tone[0], tone[1]);
    }
    std::printf("largest: second order %.2f LSB, first order %.2f LSB\n\n", worst[0], worst[1]);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    Measure("low shelf +6 dB at 100 Hz", {EqBandType::LowShelf, 6.0, 100, 0}, seconds);
    Measure("low shelf -6 dB at 1000 Hz", {EqBandType::LowShelf, -6.0, 1000, 0}, seconds);
    Measure("high shelf +3 dB at 8000 Hz", {EqBandType::HighShelf, 3.0, 8000, 0}, seconds);
    Measure("high shelf -10 dB at 3000 Hz", {EqBandType::HighShelf, -10.0, 3000, 0}, seconds);
    return 0;
}
