#pragma once
// What the time and level rulers show: tick positions and label texts in each mode.

#include <cstdint>
#include <string>
#include <vector>

#include "document/COLMDoc.h"

namespace pelmora {

inline constexpr int kTimeTickColumns = 16;
inline constexpr int kLabelledTickEvery = 10;

struct TimeTick {
    int x = 0;  // column from the waveform's left edge
    std::uint32_t frame = 0;
    bool labelled = false;  // long, and labelled unless its label would repeat the previous one
    std::string label;
};

// A tick every 16 columns from the left edge, each 16 × zoom frames (truncated) further on;
// every tenth is long and labelled with its frame in the ruler's mode, when that label differs
// from the previous label shown (in Time mode, by at least 1 ms).
std::vector<TimeTick> TimeRulerTicks(const COLMDoc& doc, int width);
// "%02d:%02d:%02d.%03d" in Time mode, the frame number in Sample mode.
std::string TimeRulerLabel(std::uint16_t mode, std::uint32_t sampleRate, std::uint32_t frame);

struct LevelMark {
    double height = 0;  // from +1 (top of the strip) to −1 (bottom)
    std::string label;
};

// The level ruler's labelled marks for one channel strip: at the strip's top, quarter, middle,
// three quarters and bottom, labelled with the level shown there at the vertical zoom, when the
// strip's middle shows `center` (a fraction of full scale).
std::vector<LevelMark> LevelRulerMarks(std::uint16_t mode, int bytesPerSample, double verticalZoom,
                                       double center = 0.0);
// The ruler's width as a multiple of its base width: wider for raw values.
double LevelRulerWidthFactor(std::uint16_t mode, int bytesPerSample);

}  // namespace pelmora
