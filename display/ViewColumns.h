#pragma once
// What the waveform pane and the overview draw for a run of columns: the image's extents where
// the image holds the zoom, else extents read from the samples.

#include <cstdint>

#include "display/ImageColumns.h"
#include "document/COLMDoc.h"

namespace pelmora {

struct ViewColumns {
    ImageColumns extents;     // one entry per drawn step: a column, or a frame at fine zooms
    int columnsPerStep = 1;   // columns one entry spans: truncate(1 / zoom) below one frame per column
    bool fromImage = false;
};

// The extents of `columns` columns from frame `first` at `zoom` frames per column. The image is
// used when it holds that zoom (and, for the main view, was prepared for it: `imageZoomMustMatch`).
// Raises "File read error" when the samples cannot be read.
ViewColumns ReadViewColumns(COLMDoc& doc, std::uint32_t first, double zoom, int columns,
                            bool imageZoomMustMatch);

}  // namespace pelmora
