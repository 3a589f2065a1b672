#pragma once
// The waveform pane's zoom and scrolling rules: the ladder of horizontal zooms, the vertical
// steps, fitting a range into the pane, and what a zoom change does to the visible range.

#include <cstdint>

namespace pelmora {

inline constexpr double kMinHorizontalZoom = 0.0625;   // frames per column
inline constexpr double kMaxHorizontalZoom = 131072.0;
inline constexpr int kHorizontalSteps = 22;
inline constexpr int kVerticalSteps = 10;

// Step p (1 … 22) of the horizontal zoom control: 2^(18 − p) frames per column.
double HorizontalZoomOfStep(int step);
// The step of a ladder zoom; 0 for a value off the ladder.
int StepOfHorizontalZoom(double zoom);
// Step p (1 … 10) of the vertical zoom: 1.2 for step 1, 2^(2 − p) after it.
double VerticalZoomOfStep(int step);

// The smallest ladder zoom that shows `frames` frames in `width` columns (at most 131072).
// A pane of no width gets the largest zoom.
double FitZoom(std::uint64_t frames, int width);

struct VisibleRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    bool operator==(const VisibleRange&) const = default;
};

// The visible range after the horizontal zoom changes from `from` to `to`: zooming in keeps the
// first frame; zooming out keeps it unless that would leave room on the right, and shows the
// whole sound from frame 0 when it fits.
VisibleRange RangeAfterZoom(VisibleRange range, double from, double to, std::uint32_t frames,
                            int width);

// The frame under column x of the waveform rectangle, limited to the sound.
std::uint32_t FrameUnderPointer(std::uint32_t firstVisible, double zoom, int x,
                                std::uint32_t frames);

// The horizontal scroll bar's largest position: in frames when a frame spans several columns,
// else in columns; never below 0.
std::uint64_t HorizontalScrollMaximum(std::uint32_t frames, double zoom, int width);

}  // namespace pelmora
