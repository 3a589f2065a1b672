#pragma once
// The equaliser's coefficient design: a band's analogue prototype at the pre-warped frequency,
// its bilinear transform, and the 16-bit Q14 coefficients the filter runs with. The response
// shown to the user is computed from those quantised coefficients.

#include <array>
#include <cstdint>

#include "edit/EqBands.h"

namespace pelmora {

// H(s) = (c2 s² + c1 s + c0) / (d2 s² + d1 s + d0).
struct EqAnalogue {
    double c2 = 0, c1 = 0, c0 = 0;
    double d2 = 0, d1 = 0, d0 = 0;
};

// H(z) = (b0 + b1 z⁻¹ + b2 z⁻²) / (a0 + a1 z⁻¹ + a2 z⁻²).
struct EqDigital {
    double b0 = 0, b1 = 0, b2 = 0;
    double a0 = 0, a1 = 0, a2 = 0;
};

// One filter section in Q14 (value × 16384): y = b0 x0 + b1 x1 + b2 x2 + fb1 y1 + fb2 y2, where
// b0..b2 are b0/a0..b2/a0 and fb1, fb2 are −a1/a0 and −a2/a0.
struct EqSection {
    std::int16_t b0 = 16384, b1 = 0, b2 = 0;
    std::int16_t fb1 = 0, fb2 = 0;

    bool operator==(const EqSection&) const = default;
};

using EqCascade = std::array<EqSection, 3>;

// W = 2 tan(π f / fs), the analogue frequency that the bilinear transform maps onto f.
double EqPrewarp(double frequency, double sampleRate);
// The band's prototype at W: a second-order peak or a first-order shelf (c2 = d2 = 0).
EqAnalogue EqPrototype(const EqBand& band, double w);
// s = 2(1 − z⁻¹)/(1 + z⁻¹), written for second order: a first-order prototype comes out with
// a zero and a pole both at z = −1.
EqDigital EqBilinear(const EqAnalogue& analogue);
// v × 16384 rounded half away from zero, limited to ±32767 (about ±2.0).
std::int16_t QuantiseQ14(double v);

// The section a band runs as. A peak is the bilinear transform quantised as it stands. A shelf
// leaves out the common factor (1 + z⁻¹) and runs first order: the same response, without the
// pole on the unit circle at half the rate, where rounding would otherwise build up a tone.
EqSection EqDesignSection(const EqBand& band, std::uint32_t sampleRate);
EqCascade EqDesignCascade(const EqBands& bands, std::uint32_t sampleRate);

// The cascade's gain in dB at `frequency`, from its quantised coefficients.
double EqResponseDb(const EqCascade& cascade, double frequency, std::uint32_t sampleRate);

}  // namespace pelmora
