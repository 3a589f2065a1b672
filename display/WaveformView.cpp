#include "display/WaveformView.h"

#include <algorithm>
#include <cmath>

#include "display/DocumentWaveform.h"

namespace pelmora {

namespace {

bool Plays(Transport t) { return t == Transport::Playing || t == Transport::RegionPlaying; }

// Refused while a sound plays: the audio engine is reading the working copy.
bool Refused(COLMDoc& doc, double zoom, const PaneContext& pane) {
    return pane.anySoundActive && NeedsSampleReads(doc, zoom);
}

double Shown(const COLMDoc& doc, int width) { return std::max(0, width) * doc.view.horizontalZoom; }

// Puts `first` at the left edge; the view never runs past the end, and a sound that fits the
// pane is shown from frame 0.
void PlaceFirst(COLMDoc& doc, double first, int width) {
    const double frames = doc.Info().frames;
    const double shown = Shown(doc, width);
    first = std::clamp(first, 0.0, std::max(0.0, frames - shown));
    doc.view.firstVisible = static_cast<std::uint32_t>(first);
    doc.view.lastVisible = static_cast<std::uint32_t>(std::min(frames, doc.view.firstVisible + shown));
}

}  // namespace

bool NeedsSampleReads(COLMDoc& doc, double zoom) {
    DocumentWaveform* waveform = WaveformOf(doc);
    if (!waveform) return true;
    const WaveformImage& image = waveform->Image();
    return image.waveformShown &&
           (!image.HasMemory() || zoom < image.framesPerPoint || image.state == ImageState::Stale);
}

void ShowFromStart(COLMDoc& doc, int width) {
    PlaceFirst(doc, 0, width);
    doc.selectionStart = doc.selectionEnd = 0;
}

void FitVisibleRangeToWidth(COLMDoc& doc, int width) {
    if (width <= 0) return;
    PlaceFirst(doc, doc.view.firstVisible, width);
}

bool SetZoom(COLMDoc& doc, double horizontal, double vertical, const PaneContext& pane) {
    ViewSettings& view = doc.view;
    if (horizontal != view.horizontalZoom) {
        if (Refused(doc, horizontal, pane)) return false;
        const VisibleRange range = RangeAfterZoom({view.firstVisible, view.lastVisible}, view.horizontalZoom,
                                                  horizontal, doc.Info().frames, pane.width);
        view.previousHorizontalZoom = view.horizontalZoom;
        view.previousVerticalZoom = view.verticalZoom;
        view.horizontalZoom = horizontal;
        view.verticalZoom = vertical;
        view.firstVisible = range.first;
        view.lastVisible = range.last;
        // Zooming out to the image's resolution builds the whole image.
        if (DocumentWaveform* waveform = WaveformOf(doc)) waveform->SetZoom(horizontal);
        return true;
    }
    if (vertical == view.verticalZoom || Refused(doc, view.horizontalZoom, pane)) return false;
    view.previousHorizontalZoom = view.horizontalZoom;
    view.previousVerticalZoom = view.verticalZoom;
    view.verticalZoom = vertical;
    return true;
}

bool ZoomHorizontalBy(COLMDoc& doc, double factor, const PaneContext& pane) {
    const double zoom = std::clamp(doc.view.horizontalZoom * factor, kMinHorizontalZoom, kMaxHorizontalZoom);
    return SetZoom(doc, zoom, doc.view.verticalZoom, pane);
}

int VerticalStepOf(double verticalZoom) {
    for (int step = 1; step <= kVerticalSteps; ++step) {
        if (VerticalZoomOfStep(step) == verticalZoom) return step;
    }
    return 2;
}

bool StepVerticalZoom(COLMDoc& doc, int delta, const PaneContext& pane) {
    const int step = std::clamp(VerticalStepOf(doc.view.verticalZoom) + delta, 1, kVerticalSteps);
    return SetZoom(doc, doc.view.horizontalZoom, VerticalZoomOfStep(step), pane);
}

bool HorizontalFullZoomIn(COLMDoc& doc, const PaneContext& pane) {
    if (Plays(pane.document)) return false;
    return SetZoom(doc, kMinHorizontalZoom, doc.view.verticalZoom, pane);
}

bool HorizontalFullZoomOut(COLMDoc& doc, const PaneContext& pane) {
    if (Plays(pane.document) && doc.view.horizontalZoom <= 1.0) return false;
    return SetZoom(doc, kMaxHorizontalZoom, doc.view.verticalZoom, pane);
}

bool VerticalFullZoomIn(COLMDoc& doc, const PaneContext& pane) {
    return SetZoom(doc, doc.view.horizontalZoom, VerticalZoomOfStep(kVerticalSteps), pane);
}

bool VerticalFullZoomOut(COLMDoc& doc, const PaneContext& pane) {
    return SetZoom(doc, doc.view.horizontalZoom, VerticalZoomOfStep(1), pane);
}

bool FitToRange(COLMDoc& doc, std::uint32_t first, std::uint32_t end, const PaneContext& pane) {
    if (pane.width <= 0) return false;
    const double zoom = FitZoom(end > first ? end - first : 0, pane.width);
    if (Refused(doc, zoom, pane)) return false;
    SetZoom(doc, zoom, doc.view.verticalZoom, pane);
    PlaceFirst(doc, first, pane.width);
    return true;
}

bool FitToSelection(COLMDoc& doc, const PaneContext& pane) {
    return FitToRange(doc, doc.selectionStart, doc.selectionEnd, pane);
}

bool FitToLoop(COLMDoc& doc, const PaneContext& pane) {
    return FitToRange(doc, doc.Info().loopStart, doc.Info().loopEnd, pane);
}

bool PreviousZoom(COLMDoc& doc, const PaneContext& pane) {
    return SetZoom(doc, doc.view.previousHorizontalZoom, doc.view.previousVerticalZoom, pane);
}

std::uint64_t ScrollPosition(const COLMDoc& doc) {
    const double zoom = doc.view.horizontalZoom;
    return zoom < 1.0 ? doc.view.firstVisible : static_cast<std::uint64_t>(doc.view.firstVisible / zoom);
}

bool ScrollToPosition(COLMDoc& doc, std::uint64_t position, const PaneContext& pane) {
    if (Refused(doc, doc.view.horizontalZoom, pane)) return false;
    const double zoom = doc.view.horizontalZoom;
    position = std::min(position, HorizontalScrollMaximum(doc.Info().frames, zoom, pane.width));
    PlaceFirst(doc, zoom < 1.0 ? double(position) : double(position) * zoom, pane.width);
    return true;
}

bool ScrollByUnits(COLMDoc& doc, std::int64_t units, const PaneContext& pane) {
    const std::int64_t position = std::max<std::int64_t>(0, std::int64_t(ScrollPosition(doc)) + units);
    return ScrollToPosition(doc, std::uint64_t(position), pane);
}

bool ScrollToFrame(COLMDoc& doc, std::uint32_t frame, const PaneContext& pane) {
    if (Refused(doc, doc.view.horizontalZoom, pane)) return false;
    PlaceFirst(doc, frame, pane.width);
    return true;
}

bool RevealFrame(COLMDoc& doc, std::uint32_t frame, const PaneContext& pane) {
    if (frame >= doc.view.firstVisible && frame < doc.view.lastVisible) return false;
    return ScrollToFrame(doc, frame, pane);
}

double ColumnOfFrame(const COLMDoc& doc, std::uint32_t frame) {
    return (double(frame) - double(doc.view.firstVisible)) / doc.view.horizontalZoom;
}

std::uint32_t FrameAtColumn(const COLMDoc& doc, int column) {
    return FrameUnderPointer(doc.view.firstVisible, doc.view.horizontalZoom, column, doc.Info().frames);
}

void SetTimeRulerMode(COLMDoc& doc, std::uint16_t mode) { doc.view.timeRulerSetting = kRulerShown | mode; }
void SetLevelRulerMode(COLMDoc& doc, std::uint16_t mode) { doc.view.levelRulerSetting = kRulerShown | mode; }
void HideTimeRuler(COLMDoc& doc) { doc.view.timeRulerSetting &= static_cast<std::uint16_t>(~kRulerShown); }
void HideLevelRuler(COLMDoc& doc) { doc.view.levelRulerSetting &= static_cast<std::uint16_t>(~kRulerShown); }
void ToggleTimeRuler(COLMDoc& doc) { doc.view.timeRulerSetting ^= kRulerShown; }
void ToggleLevelRuler(COLMDoc& doc) { doc.view.levelRulerSetting ^= kRulerShown; }

namespace {

std::uint16_t Rotated(std::uint16_t setting, std::initializer_list<std::uint16_t> modes) {
    if (!RulerShown(setting)) return kRulerShown | *modes.begin();
    for (auto it = modes.begin(); it != modes.end(); ++it) {
        if (*it == RulerMode(setting)) {
            return std::next(it) == modes.end() ? static_cast<std::uint16_t>(setting & ~kRulerShown)
                                                : static_cast<std::uint16_t>(kRulerShown | *std::next(it));
        }
    }
    return kRulerShown | *modes.begin();
}

}  // namespace

void RotateTimeRuler(COLMDoc& doc) {
    doc.view.timeRulerSetting = Rotated(doc.view.timeRulerSetting, {kTimeRulerTime, kTimeRulerSample});
}

void RotateLevelRuler(COLMDoc& doc) {
    doc.view.levelRulerSetting =
        Rotated(doc.view.levelRulerSetting, {kLevelRulerPercent, kLevelRulerDecibel, kLevelRulerValue});
}

}  // namespace pelmora
