#pragma once
// How a document is shown: zoom, visible range, ruler modes and the view switches. Kept with the
// document so that its commands and every pane act on the same values, and a pane made again
// shows what the old one showed.

#include <cstdint>

namespace pelmora {

// Low byte of the time ruler setting: its mode; high byte 1 while it is shown.
inline constexpr std::uint16_t kRulerShown = 0x100;
inline constexpr std::uint16_t kTimeRulerTime = 1;
inline constexpr std::uint16_t kTimeRulerSample = 2;
inline constexpr std::uint16_t kLevelRulerPercent = 1;
inline constexpr std::uint16_t kLevelRulerDecibel = 2;
inline constexpr std::uint16_t kLevelRulerValue = 4;

struct ViewSettings {
    double horizontalZoom = 128.0;  // frames per column; below 1 a frame spans several columns
    double verticalZoom = 1.0;
    double previousHorizontalZoom = 128.0;
    double previousVerticalZoom = 1.0;
    std::uint32_t firstVisible = 0;
    std::uint32_t lastVisible = 0;
    std::uint32_t currentPosition = 0;  // the pointer's or the edit position's frame
    std::uint16_t timeRulerSetting = kRulerShown | kTimeRulerTime;
    std::uint16_t levelRulerSetting = kLevelRulerPercent;
    std::uint8_t playbackLevel = 255;  // "Vol:" of the file-information pane
    bool overviewShown = true;
    bool scrollDuringPlayback = true;
    bool connectDots = true;
};

inline bool RulerShown(std::uint16_t setting) { return (setting & kRulerShown) != 0; }
inline std::uint16_t RulerMode(std::uint16_t setting) { return setting & 0xFF; }

}  // namespace pelmora
