#include "edit/EqDesign.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace pelmora {

namespace {

constexpr double kPi = 3.14159265358979;

double Amplitude(double gainDb) { return std::pow(10.0, 0.05 * gainDb); }

}  // namespace

double EqPrewarp(double frequency, double sampleRate) { return 2.0 * std::tan(frequency * kPi / sampleRate); }

EqAnalogue EqPrototype(const EqBand& band, double w) {
    EqAnalogue a;
    const double g = band.gain;
    switch (band.type) {
    case EqBandType::Peak: {
        const double q = band.q < 1 ? 1 : band.q;
        const double boost = Amplitude(std::abs(g));
        a = {1.0, w / q, w * w, 1.0, w / q, w * w};
        if (g >= 0) a.c1 *= boost;
        else a.d1 *= boost;
        break;
    }
    case EqBandType::LowShelf:
        a = {0.0, 1.0, 2.0 * w / (Amplitude(-g) + 1.0), 0.0, 1.0, 2.0 * w / (Amplitude(g) + 1.0)};
        break;
    case EqBandType::HighShelf:
        a = {0.0, 2.0 / (Amplitude(-g) + 1.0), w, 0.0, 2.0 / (Amplitude(g) + 1.0), w};
        break;
    }
    return a;
}

EqDigital EqBilinear(const EqAnalogue& a) {
    return {4 * a.c2 + 2 * a.c1 + a.c0, 2 * (a.c0 - 4 * a.c2), 4 * a.c2 - 2 * a.c1 + a.c0,
            4 * a.d2 + 2 * a.d1 + a.d0, 2 * (a.d0 - 4 * a.d2), 4 * a.d2 - 2 * a.d1 + a.d0};
}

std::int16_t QuantiseQ14(double v) {
    const double scaled = v * 16384.0;
    if (v > 0) {
        if (v >= 2.0 || std::trunc(scaled) >= 32767) return 32767;
        return static_cast<std::int16_t>(scaled + 0.5);
    }
    if (v <= -2.0 || std::trunc(scaled) <= -32767) return -32767;
    return static_cast<std::int16_t>(scaled - 0.5);
}

EqSection EqDesignSection(const EqBand& band, std::uint32_t sampleRate) {
    const EqDigital d = EqBilinear(EqPrototype(band, EqPrewarp(band.frequency, sampleRate)));
    EqSection s;
    s.b0 = QuantiseQ14(d.b0 / d.a0);
    if (band.type == EqBandType::Peak) {
        s.b1 = QuantiseQ14(d.b1 / d.a0);
        s.b2 = QuantiseQ14(d.b2 / d.a0);
        s.fb1 = QuantiseQ14(-d.a1 / d.a0);
        s.fb2 = QuantiseQ14(-d.a2 / d.a0);
    } else {
        // Numerator and denominator are (p0 + p1 z⁻¹)(1 + z⁻¹), with p0 = b0 and p1 = b2.
        s.b1 = QuantiseQ14(d.b2 / d.a0);
        s.fb1 = QuantiseQ14(-d.a2 / d.a0);
    }
    return s;
}

EqCascade EqDesignCascade(const EqBands& bands, std::uint32_t sampleRate) {
    EqCascade cascade;
    for (std::size_t i = 0; i < bands.size(); ++i) cascade[i] = EqDesignSection(bands[i], sampleRate);
    return cascade;
}

double EqResponseDb(const EqCascade& cascade, double frequency, std::uint32_t sampleRate) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * frequency / sampleRate);
    const std::complex<double> z2 = z1 * z1;
    double db = 0.0;
    for (const EqSection& s : cascade) {
        const std::complex<double> num = static_cast<double>(s.b0) + static_cast<double>(s.b1) * z1 +
                                         static_cast<double>(s.b2) * z2;
        const std::complex<double> den = 16384.0 - static_cast<double>(s.fb1) * z1 - static_cast<double>(s.fb2) * z2;
        // A zero on the unit circle is a very deep notch, not minus infinity.
        db += 20.0 * std::log10(std::max(std::abs(num), 1e-9) / std::max(std::abs(den), 1e-9));
    }
    return db;
}

}  // namespace pelmora
