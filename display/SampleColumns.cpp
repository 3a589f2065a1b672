#include "display/SampleColumns.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/Error.h"
#include "sound/FrameTransfer.h"
#include "sound/SampleCodec.h"

namespace pelmora {

ImageColumns ReadSampleColumns(const platform::File& file, const SoundInfo& info, double zoom,
                               std::uint32_t first, std::uint32_t columns) {
    ImageColumns out;
    out.channels = info.channels;
    if (info.blockAlign == 0 || first >= info.frames || zoom <= 0.0) return out;
    zoom = std::max(zoom, 1.0);
    const std::size_t perBlock = FramesPerBlock(info.blockAlign);
    std::vector<std::uint8_t> block(perBlock * info.blockAlign);
    WithSampleCodec(info.fileType, info.bytesPerSample, [&](auto codec) {
        constexpr int kBytes = decltype(codec)::kBytes;
        for (std::uint32_t column = 0; column < columns; ++column) {
            const auto from = static_cast<std::uint64_t>(first + std::floor(column * zoom));
            const auto to = std::min<std::uint64_t>(info.frames, static_cast<std::uint64_t>(first + std::floor((column + 1) * zoom)));
            if (from >= info.frames) break;
            std::vector<ColumnExtent> extent(info.channels, ColumnExtent{INT32_MIN, INT32_MAX});
            for (std::uint64_t at = from; at < std::max(to, from + 1);) {
                const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(perBlock, std::max(to, from + 1) - at));
                if (!file.ReadAt(info.dataOffset + at * info.blockAlign, block.data(), n * info.blockAlign))
                    throw Error(StringId::FileReadError);
                for (std::size_t i = 0; i < n; ++i) {
                    for (std::uint16_t ch = 0; ch < info.channels; ++ch) {
                        const std::int32_t v = codec.Read(block.data() + i * info.blockAlign + ch * kBytes);
                        extent[ch].high = std::max(extent[ch].high, v);
                        extent[ch].low = std::min(extent[ch].low, v);
                    }
                }
                at += n;
            }
            out.extents.insert(out.extents.end(), extent.begin(), extent.end());
            ++out.columns;
        }
    });
    return out;
}

}  // namespace pelmora
