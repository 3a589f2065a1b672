#pragma once
// The waveform pane's colours and fixed sizes, shared by its drawing and its mouse handling.

#include <QColor>

namespace pelmora::pane_look {
inline const QColor kBackground(24, 28, 34);
inline const QColor kOverviewBackground(34, 38, 46);
inline const QColor kWave(120, 210, 140);
inline const QColor kOverviewWave(110, 160, 200);
inline const QColor kMidline(70, 80, 90);
inline const QColor kStripBorder(55, 60, 70);
inline const QColor kSelection(60, 90, 150, 150);
inline const QColor kLoop(235, 170, 60);
inline const QColor kCursor(250, 80, 80);
inline const QColor kRuler(222, 222, 218);
constexpr int kTimeRulerHeight = 24;
constexpr int kMarkerStripHeight = 7;
constexpr int kMarkerGrabPixels = 3;  // how near a loop line the right button opens its menu
constexpr int kLevelRulerBaseWidth = 40;
constexpr int kLevelScrollSteps = 1000;  // per unit of full scale
constexpr int kAutoScrollMs = 50;

}  // namespace pelmora::pane_look
