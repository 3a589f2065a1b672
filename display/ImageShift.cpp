#include "display/ImageShift.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace pelmora {

namespace {

// Writes at `out` the new point q, whose frames began at old frame `oldStart`.
void MapPoint(std::uint8_t* data, const ImageGeometry& before, const ImageGeometry& after,
              std::uint64_t q, std::uint64_t oldStart, std::uint8_t* scratch) {
    const std::uint32_t fpp = after.framesPerPoint;
    const std::uint32_t pb = after.PointBytes();
    const std::uint64_t a = oldStart / fpp;
    const std::uint32_t length = after.FramesOfPoint(q);
    if (oldStart % fpp == 0 && length == before.FramesOfPoint(a)) {
        std::memmove(data + q * pb, data + a * pb, pb);
        return;
    }
    const std::uint64_t last = std::min((oldStart + length - 1) / fpp, before.Points() - 1);
    for (int c = 0; c < after.channels; ++c) {
        std::int32_t high = std::numeric_limits<std::int32_t>::min();
        std::int32_t low = std::numeric_limits<std::int32_t>::max();
        for (std::uint64_t p = a; p <= last; ++p) {
            const std::uint8_t* pair = data + p * pb + 2 * c * after.width;
            const std::int32_t x = LoadImageValue(pair, after.width);
            const std::int32_t y = LoadImageValue(pair + after.width, after.width);
            high = std::max({high, x, y});
            low = std::min({low, x, y});
        }
        StoreImageValue(scratch + 2 * c * after.width, after.width, high);
        StoreImageValue(scratch + (2 * c + 1) * after.width, after.width, low);
        MakeEstimate(scratch + 2 * c * after.width, after.width);
    }
    std::memcpy(data + q * pb, scratch, pb);
}

}  // namespace

bool ShiftImage(WaveformImage& image, const ImageGeometry& before, const ImageGeometry& after,
                std::uint32_t first, std::uint32_t count, bool removed) {
    const std::uint32_t fpp = after.framesPerPoint;
    const std::uint32_t pb = after.PointBytes();
    std::vector<std::uint8_t> scratch(pb);
    if (removed) {
        // New point q (q × fpp ≥ first) holds old frames from q × fpp + count; they lie at or after
        // old point q, so walking upward reads every old point before it is overwritten.
        for (std::uint64_t q = (std::uint64_t{first} + fpp - 1) / fpp; q < after.Points(); ++q)
            MapPoint(image.Data(), before, after, q, q * fpp + count, scratch.data());
        return image.Resize(after.Bytes());
    }
    if (!image.Resize(after.Bytes())) return false;
    // New point q (wholly after the inserted frames) holds old frames from q × fpp − count, which
    // lie before it: walking downward reads them first.
    const std::uint64_t from = (std::uint64_t{first} + count + fpp - 1) / fpp;
    for (std::uint64_t q = after.Points(); q-- > from;)
        MapPoint(image.Data(), before, after, q, q * fpp - count, scratch.data());
    return true;
}

}  // namespace pelmora
