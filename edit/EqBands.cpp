#include "edit/EqBands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace pelmora {

EqBands InitialEqBands() {
    EqBands bands;
    bands[kEqLow].frequency = 100;
    bands[kEqMid].frequency = 1000;
    bands[kEqHigh].frequency = 10000;
    return bands;
}

std::int32_t EqFrequencyLimit(std::uint32_t sampleRate) {
    return sampleRate == 0 ? 0 : static_cast<std::int32_t>((sampleRate - 1) / 2);
}

double EqShownGain(double gain) {
    gain = std::clamp(gain, -kEqMaxGain, kEqMaxGain);
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", gain);
    const double shown = std::strtod(text, nullptr);
    return shown == 0.0 ? 0.0 : shown;
}

EqFrequencyRange EqFrequencyRangeOf(const EqBands& bands, int index, std::uint32_t sampleRate) {
    EqFrequencyRange range;
    switch (index) {
    case kEqLow: range = {kEqMinLowFrequency, bands[kEqMid].frequency}; break;
    case kEqMid: range = {bands[kEqLow].frequency, bands[kEqHigh].frequency}; break;
    default: range = {bands[kEqMid].frequency, kEqMaxHighFrequency}; break;
    }
    // A floor wins over the neighbour above, so that validating low, mid, high in turn always
    // ends in order; the rate's limit wins over everything.
    const std::int32_t limit = std::max(0, EqFrequencyLimit(sampleRate));
    range.max = std::min(std::max(range.max, range.min), limit);
    range.min = std::max(0, std::min(range.min, range.max));
    return range;
}

bool ValidateEqBand(EqBands& bands, int index, std::uint32_t sampleRate) {
    EqBand& band = bands[static_cast<std::size_t>(index)];
    const EqBand before = band;
    band.gain = EqShownGain(band.gain);

    const EqFrequencyRange range = EqFrequencyRangeOf(bands, index, sampleRate);
    band.frequency = std::min(std::max(band.frequency, range.min), range.max);

    if (band.q >= 1) {
        band.q = std::min(band.q, kEqMaxQ);
        band.type = EqBandType::Peak;
    } else if (index == kEqMid) {
        band.q = 1;
        band.type = EqBandType::Peak;
    } else {
        band.q = 0;
        band.type = index == kEqLow ? EqBandType::LowShelf : EqBandType::HighShelf;
    }
    // The type follows from Q, so only the three values count as a correction.
    return band.gain != before.gain || band.frequency != before.frequency || band.q != before.q;
}

bool EqIsFlat(const EqBands& bands) {
    return std::all_of(bands.begin(), bands.end(), [](const EqBand& b) { return b.gain == 0.0; });
}

}  // namespace pelmora
