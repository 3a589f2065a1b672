#include "display/ViewColumns.h"

#include <cmath>

#include "base/Error.h"
#include "display/DocumentWaveform.h"
#include "display/SampleColumns.h"

namespace pelmora {

ViewColumns ReadViewColumns(COLMDoc& doc, std::uint32_t first, double zoom, int columns,
                            bool imageZoomMustMatch) {
    ViewColumns out;
    if (columns <= 0 || zoom <= 0.0) return out;
    if (DocumentWaveform* waveform = WaveformOf(doc); waveform && zoom >= 1.0) {
        const WaveformImage& image = waveform->Image();
        if (image.framesPerPoint <= zoom && (!imageZoomMustMatch || image.horizontalZoom == zoom)) {
            out.extents = ReadImageColumns(image, doc.Info(), zoom, first, static_cast<std::uint32_t>(columns));
            if (out.extents.columns > 0) {
                out.fromImage = true;
                return out;
            }
        }
    }
    platform::File file;
    if (!file.Open(doc.WorkingPath(), platform::OpenMode::Read)) throw Error(StringId::FileReadError);
    if (zoom >= 1.0) {
        out.extents = ReadSampleColumns(file, doc.Info(), std::trunc(zoom), first, static_cast<std::uint32_t>(columns));
        return out;
    }
    out.columnsPerStep = static_cast<int>(std::trunc(1.0 / zoom));
    const auto frames = static_cast<std::uint32_t>(columns / out.columnsPerStep + 1);
    out.extents = ReadSampleColumns(file, doc.Info(), 1.0, first, frames);
    return out;
}

}  // namespace pelmora
