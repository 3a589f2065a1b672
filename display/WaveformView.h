#pragma once
// The waveform pane's view rules over the document's view settings: zoom changes, fits, the
// previous zoom, scrolling and the ruler and view switches. The pane supplies its width.

#include <cstdint>

#include "display/ZoomRules.h"
#include "document/COLMDoc.h"

namespace pelmora {

enum class Transport { Idle, Playing, RegionPlaying, Recording };

// What only the pane and the audio engine know.
struct PaneContext {
    int width = 0;                        // waveform columns
    Transport document = Transport::Idle;  // this document's transport
    bool anySoundActive = false;          // some document plays or records
};

// Whether showing the document at `zoom` frames per column needs sample reads (the image does
// not hold that zoom, or is stale) while the waveform is shown.
bool NeedsSampleReads(COLMDoc& doc, double zoom);

// First update of a pane: the sound from frame 0, no selection.
void ShowFromStart(COLMDoc& doc, int width);
// The pane changed width: the first frame stays unless the whole sound now fits.
void FitVisibleRangeToWidth(COLMDoc& doc, int width);

// `SetZoom`: false when refused while a sound plays (the new zoom would need sample reads).
bool SetZoom(COLMDoc& doc, double horizontal, double vertical, const PaneContext& pane);
// The zoom buttons: horizontal × factor within the ladder, vertical step ± 1 within 1 … 10.
bool ZoomHorizontalBy(COLMDoc& doc, double factor, const PaneContext& pane);
bool StepVerticalZoom(COLMDoc& doc, int delta, const PaneContext& pane);
int VerticalStepOf(double verticalZoom);

bool HorizontalFullZoomIn(COLMDoc& doc, const PaneContext& pane);
bool HorizontalFullZoomOut(COLMDoc& doc, const PaneContext& pane);
bool VerticalFullZoomIn(COLMDoc& doc, const PaneContext& pane);
bool VerticalFullZoomOut(COLMDoc& doc, const PaneContext& pane);
// The smallest ladder zoom showing [first, end) in the pane, with `first` at the left edge.
bool FitToRange(COLMDoc& doc, std::uint32_t first, std::uint32_t end, const PaneContext& pane);
bool FitToSelection(COLMDoc& doc, const PaneContext& pane);
bool FitToLoop(COLMDoc& doc, const PaneContext& pane);
bool PreviousZoom(COLMDoc& doc, const PaneContext& pane);

// Horizontal scrolling: one unit is a frame when a frame spans several columns, else a column.
std::uint64_t ScrollPosition(const COLMDoc& doc);
bool ScrollToPosition(COLMDoc& doc, std::uint64_t position, const PaneContext& pane);
bool ScrollByUnits(COLMDoc& doc, std::int64_t units, const PaneContext& pane);
inline constexpr int kScrollPageUnits = 16;
// Makes `frame` the first visible frame; near the end the view ends at the frame count.
bool ScrollToFrame(COLMDoc& doc, std::uint32_t frame, const PaneContext& pane);
// Scrolls only when `frame` is outside the visible range.
bool RevealFrame(COLMDoc& doc, std::uint32_t frame, const PaneContext& pane);

// The column of a frame in the view (negative or past the width when outside).
double ColumnOfFrame(const COLMDoc& doc, std::uint32_t frame);
std::uint32_t FrameAtColumn(const COLMDoc& doc, int column);

void SetTimeRulerMode(COLMDoc& doc, std::uint16_t mode);
void SetLevelRulerMode(COLMDoc& doc, std::uint16_t mode);
void HideTimeRuler(COLMDoc& doc);
void HideLevelRuler(COLMDoc& doc);
void ToggleTimeRuler(COLMDoc& doc);
void ToggleLevelRuler(COLMDoc& doc);
// "Time Ruler (Rotate)" and "Level Ruler (Rotate)": each mode in turn, then hidden, then the first.
void RotateTimeRuler(COLMDoc& doc);
void RotateLevelRuler(COLMDoc& doc);

}  // namespace pelmora
