#pragma once
// The overview strip above the waveform: the whole sound at the fit zoom of the strip's width,
// a frame around the main view's visible range, and the band that moves and zooms the main view.

#include <cstdint>

#include "display/WaveformView.h"
#include "document/COLMDoc.h"

namespace pelmora {

inline constexpr int kOverviewHeight = 82;

// Frames per column of the strip: the smallest ladder zoom that shows every frame.
double OverviewZoom(const COLMDoc& doc, int stripWidth);

struct ColumnSpan {
    int first = 0;
    int last = 0;
};
// The main view's visible range in strip columns.
ColumnSpan VisibleRangeInOverview(const COLMDoc& doc, int stripWidth);

// Applies a band dragged from column `from` to column `to`: with width, the main view shows the
// band's frames at their fit zoom with the first at the left edge; without, the main view only
// scrolls so that the clicked frame is its left edge. False when refused.
bool ApplyOverviewBand(COLMDoc& doc, int from, int to, int stripWidth, const PaneContext& pane);

}  // namespace pelmora
