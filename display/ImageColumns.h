#pragma once
// What the waveform pane draws from the image when it is zoomed out to framesPerPoint or more
// frames per column: per column and channel, the highest and the lowest value of its points.

#include <cstdint>
#include <vector>

#include "display/WaveformImage.h"
#include "sound/SoundInfo.h"

namespace pelmora {

struct ColumnExtent {
    std::int32_t high = 0;
    std::int32_t low = 0;
};

struct ImageColumns {
    std::uint32_t columns = 0;
    std::uint16_t channels = 0;
    std::vector<ColumnExtent> extents;  // column by column, channel 0 first

    const ColumnExtent& At(std::uint32_t column, std::uint16_t channel) const {
        return extents[static_cast<std::size_t>(column) * channels + channel];
    }
};

// Columns of `zoom` frames (its integer part holds floor(zoom / framesPerPoint) points) starting
// at image point ceil(first / framesPerPoint), at most `columns` of them; the last column of the
// sound takes the points that remain. Points come from the image's memory, or from its file when
// it has none. No columns when the zoom is finer than the image or the points cannot be read.
ImageColumns ReadImageColumns(const WaveformImage& image, const SoundInfo& info, double zoom,
                              std::uint32_t first, std::uint32_t columns);

}  // namespace pelmora
