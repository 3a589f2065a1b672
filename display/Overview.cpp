#include "display/Overview.h"

#include <algorithm>
#include <cmath>

#include "display/DocumentWaveform.h"

namespace pelmora {

double OverviewZoom(const COLMDoc& doc, int stripWidth) { return FitZoom(doc.Info().frames, stripWidth); }

ColumnSpan VisibleRangeInOverview(const COLMDoc& doc, int stripWidth) {
    const double zoom = OverviewZoom(doc, stripWidth);
    return {static_cast<int>(doc.view.firstVisible / zoom), static_cast<int>(std::ceil(doc.view.lastVisible / zoom))};
}

bool ApplyOverviewBand(COLMDoc& doc, int from, int to, int stripWidth, const PaneContext& pane) {
    if (stripWidth <= 0 || pane.width <= 0) return false;
    const double stripZoom = OverviewZoom(doc, stripWidth);
    const auto frameAt = [&](int column) {
        return static_cast<std::uint32_t>(std::min<double>(doc.Info().frames, std::max(0, column) * stripZoom));
    };
    const std::uint32_t first = frameAt(std::min(from, to)), last = frameAt(std::max(from, to));
    if (from == to) return ScrollToFrame(doc, first, pane);
    double zoom = FitZoom(last - first, pane.width);
    if (pane.anySoundActive) {
        // The audio engine reads the working copy: only the image may be drawn from.
        DocumentWaveform* waveform = WaveformOf(doc);
        if (waveform && waveform->Image().waveformShown) {
            if (!waveform->Image().HasMemory()) return false;
            zoom = std::max(zoom, double(waveform->Image().framesPerPoint));
        }
    }
    if (zoom != doc.view.horizontalZoom && !SetZoom(doc, zoom, doc.view.verticalZoom, pane)) return false;
    return ScrollToFrame(doc, first, pane);
}

}  // namespace pelmora
