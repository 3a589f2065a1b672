#include "display/WaveformImage.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace pelmora {

std::uint32_t ImageGeometry::FramesOfPoint(std::uint64_t p) const {
    const std::uint64_t start = p * framesPerPoint;
    if (start >= frames) return 0;
    const std::uint64_t left = frames - start;
    return static_cast<std::uint32_t>(left < framesPerPoint ? left : framesPerPoint);
}

ImageGeometry GeometryOf(const SoundInfo& info, std::uint32_t framesPerPoint) {
    ImageGeometry g;
    g.channels = info.channels;
    g.width = info.bytesPerSample;
    g.framesPerPoint = framesPerPoint;
    g.frames = info.frames;
    return g;
}

std::int32_t LoadImageValue(const std::uint8_t* p, int width) {
    std::uint32_t u = 0;
    for (int i = 0; i < width; ++i) u |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    const int shift = 32 - 8 * width;
    return static_cast<std::int32_t>(u << shift) >> shift;
}

void StoreImageValue(std::uint8_t* p, int width, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < width; ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t LowestValue(int width) {
    return width >= 4 ? INT32_MIN : -(std::int32_t{1} << (8 * width - 1));
}

bool PointExact(const std::uint8_t* point, const ImageGeometry& g) {
    for (int c = 0; c < g.channels; ++c) {
        if (!PairExact(point + 2 * c * g.width, g.width)) return false;
    }
    return true;
}

bool PointFlat(const std::uint8_t* point, const ImageGeometry& g) {
    for (int c = 0; c < g.channels; ++c) {
        const std::uint8_t* pair = point + 2 * c * g.width;
        if (LoadImageValue(pair, g.width) != LoadImageValue(pair + g.width, g.width)) return false;
    }
    return true;
}

void MakeEstimate(std::uint8_t* pair, int width) {
    std::int32_t high = LoadImageValue(pair, width);
    std::int32_t low = LoadImageValue(pair + width, width);
    if (high == low) {
        if (low == LowestValue(width)) ++high;
        else --low;
    }
    std::swap(high, low);
    StoreImageValue(pair, width, high);
    StoreImageValue(pair + width, width, low);
}

void StoreEmptyPair(std::uint8_t* pair, int width) {
    StoreImageValue(pair, width, -1);
    StoreImageValue(pair + width, width, 0);
}

bool WaveformImage::Resize(std::uint64_t bytes) {
    if (bytes > capacity_ || !memory_) {
        if (bytes > std::numeric_limits<std::size_t>::max()) return false;
        // Not value-initialised: every byte of an image is written before it is read.
        std::unique_ptr<std::uint8_t[]> grown(new (std::nothrow) std::uint8_t[std::max<std::uint64_t>(bytes, 1)]);
        if (!grown) return false;
        if (memory_) std::memcpy(grown.get(), memory_.get(), static_cast<std::size_t>(std::min(size_, bytes)));
        memory_ = std::move(grown);
        capacity_ = bytes;
    }
    size_ = bytes;
    allocated_ = true;
    return true;
}

void WaveformImage::Free() {
    memory_.reset();
    capacity_ = 0;
    size_ = 0;
    allocated_ = false;
}

}  // namespace pelmora
