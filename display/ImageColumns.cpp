#include "display/ImageColumns.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "display/ImageBlock.h"

namespace pelmora {

ImageColumns ReadImageColumns(const WaveformImage& image, const SoundInfo& info, double zoom,
                              std::uint32_t first, std::uint32_t columns) {
    ImageColumns result;
    result.channels = info.channels;
    const ImageGeometry g = GeometryOf(info, image.framesPerPoint);
    if (!(zoom >= g.framesPerPoint) || zoom > std::numeric_limits<std::uint32_t>::max()) return result;
    const std::uint64_t perColumn = static_cast<std::uint64_t>(std::floor(zoom)) / g.framesPerPoint;
    const std::uint64_t points = g.Points();
    const std::uint64_t start = (std::uint64_t{first} + g.framesPerPoint - 1) / g.framesPerPoint;
    if (start >= points) return result;
    const std::uint64_t wanted = std::min<std::uint64_t>(columns, (points - start + perColumn - 1) / perColumn);
    std::vector<std::uint8_t> span;
    std::vector<ColumnExtent> extents;
    for (std::uint64_t column = 0; column < wanted; ++column) {
        const std::uint64_t from = start + column * perColumn;
        const std::uint64_t to = std::min(points, from + perColumn);
        span.resize(static_cast<std::size_t>((to - from) * g.PointBytes()));
        if (!ReadImagePoints(image, g, from, to - from, span.data())) return result;
        std::vector<ColumnExtent> line(g.channels, {std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max()});
        for (std::uint64_t p = 0; p < to - from; ++p) {
            for (std::uint16_t c = 0; c < g.channels; ++c) {
                const std::uint8_t* pair = span.data() + p * g.PointBytes() + 2 * c * g.width;
                const std::int32_t a = LoadImageValue(pair, g.width);
                const std::int32_t b = LoadImageValue(pair + g.width, g.width);
                // An estimate holds its values exchanged; it is drawn as the range it stands for.
                line[c].high = std::max({line[c].high, a, b});
                line[c].low = std::min({line[c].low, a, b});
            }
        }
        extents.insert(extents.end(), line.begin(), line.end());
    }
    result.columns = static_cast<std::uint32_t>(wanted);
    result.extents = std::move(extents);
    return result;
}

}  // namespace pelmora
