#pragma once
// The equaliser's three band records and their limits. A band is a peak or, for the low and
// high band, a shelf; the limits of one band's frequency depend on its neighbours and the rate.

#include <array>
#include <cstdint>

namespace pelmora {

enum class EqBandType : std::int16_t { Peak = 0, LowShelf = 1, HighShelf = 2 };

// Indexes of the bands, in cascade order.
enum EqBandIndex { kEqLow = 0, kEqMid = 1, kEqHigh = 2 };

struct EqBand {
    EqBandType type = EqBandType::Peak;
    double gain = 0.0;           // dB, a value "%.1f" shows
    std::int32_t frequency = 0;  // Hz
    std::int32_t q = 1;          // 1 … 10 for a peak; 0 for a shelf

    bool operator==(const EqBand&) const = default;
};

using EqBands = std::array<EqBand, 3>;

inline constexpr double kEqMaxGain = 20.0;
inline constexpr std::int32_t kEqMinLowFrequency = 100;
inline constexpr std::int32_t kEqMaxHighFrequency = 24000;
inline constexpr std::int32_t kEqMaxQ = 10;

// Low 100 Hz, mid 1000 Hz, high 10000 Hz; gain 0.0, Q 1, peaks ("Reset" gives these back).
EqBands InitialEqBands();

// The highest frequency any band takes at `sampleRate`: the integer part of (rate − 1) / 2,
// so that no band sits on half the rate, where its poles would reach the unit circle.
std::int32_t EqFrequencyLimit(std::uint32_t sampleRate);

// The frequencies band `index` may take, given its neighbours as they stand and the rate: the
// low band from 100 Hz up to the mid frequency, the mid band between its neighbours, the high
// band from the mid frequency up to 24000 Hz; none above EqFrequencyLimit. Where the neighbours
// disagree the lower limit wins.
struct EqFrequencyRange {
    std::int32_t min = 0, max = 0;
};
EqFrequencyRange EqFrequencyRangeOf(const EqBands& bands, int index, std::uint32_t sampleRate);

// The gain as "%.1f" shows it, limited to ±20.0 (and never −0.0).
double EqShownGain(double gain);

// Brings band `index` within its limits, given the other bands as they stand: gain limited and
// rounded as shown, frequency within its neighbours and the rate, Q limited (a Q below 1 makes
// the low or high band a shelf, and the mid band a peak of Q 1). True when a gain, frequency or
// Q had to change.
bool ValidateEqBand(EqBands& bands, int index, std::uint32_t sampleRate);

// True when every gain is 0.0: the equaliser would leave the sound as it is.
bool EqIsFlat(const EqBands& bands);

}  // namespace pelmora
