#pragma once
// The reduced waveform of a document: every run of framesPerPoint frames becomes one point
// holding, per channel, the largest and then the smallest sample value in the sound's own
// width (signed, little-endian). A pair whose first value is below its second is not exact:
// either an estimate copied from a neighbour with its values exchanged, or empty (−1, 0).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sound/SoundInfo.h"

namespace pelmora {

enum class ImageState : std::uint16_t { Stale = 0, Exact = 1, Partial = 2 };

inline const char* ImageStateName(ImageState state) {
    switch (state) {
    case ImageState::Exact: return "Exact";
    case ImageState::Partial: return "Partial";
    default: return "Stale";
    }
}

inline constexpr std::uint32_t kDefaultFramesPerPoint = 256;
inline constexpr std::uint32_t kMinFramesPerPoint = 256;
inline constexpr std::uint32_t kMaxFramesPerPoint = 131072;
// The full build and the refinement walk the sound in blocks of this many frames.
inline constexpr std::uint32_t kImageBlockFrames = 131072;

// The sizes of one sound's image.
struct ImageGeometry {
    std::uint16_t channels = 1;
    std::uint16_t width = 2;  // bytes of one value: the sample width
    std::uint32_t framesPerPoint = kDefaultFramesPerPoint;
    std::uint32_t frames = 0;

    std::uint32_t PointBytes() const { return 2u * channels * width; }
    std::uint64_t Points() const {
        return (static_cast<std::uint64_t>(frames) + framesPerPoint - 1) / framesPerPoint;
    }
    std::uint64_t Bytes() const { return Points() * PointBytes(); }
    // Frames reduced into point p: framesPerPoint, fewer for the last, 0 past the end.
    std::uint32_t FramesOfPoint(std::uint64_t p) const;
};

ImageGeometry GeometryOf(const SoundInfo& info, std::uint32_t framesPerPoint);

std::int32_t LoadImageValue(const std::uint8_t* p, int width);
void StoreImageValue(std::uint8_t* p, int width, std::int32_t value);
std::int32_t LowestValue(int width);

inline bool PairExact(const std::uint8_t* pair, int width) {
    return LoadImageValue(pair, width) >= LoadImageValue(pair + width, width);
}
bool PointExact(const std::uint8_t* point, const ImageGeometry& g);
// Every pair of the point holds two equal values (a flat run): such a point is exact, yet it
// does not end a run of points that are not.
bool PointFlat(const std::uint8_t* point, const ImageGeometry& g);
// Turns an exact pair into an estimate: a flat pair first moves one value by one unit (the second
// down, or the first up when the second is already the lowest value of the width), then the
// two values are exchanged, so that the copy is recognisably not exact.
void MakeEstimate(std::uint8_t* pair, int width);
void StoreEmptyPair(std::uint8_t* pair, int width);

class WaveformImage {
public:
    std::uint32_t framesPerPoint = kDefaultFramesPerPoint;
    ImageState state = ImageState::Stale;
    bool waveformShown = true;
    // Frames per pixel column of the pane showing the image; the pane keeps it up to date.
    double horizontalZoom = 128.0;
    std::optional<std::int64_t> imageTime;        // seconds since the epoch
    std::optional<std::int64_t> storedImageTime;  // of the block taken at open
    // A working file with the points in the memory layout, read when there is no memory.
    std::string imageFileName;

    bool HasMemory() const { return allocated_; }
    std::uint8_t* Data() { return memory_.get(); }
    const std::uint8_t* Data() const { return memory_.get(); }
    // The bytes the image describes; its memory may be larger, as it is never shrunk.
    std::uint64_t Size() const { return size_; }
    // Makes the image `bytes` long, growing the memory when needed (the bytes beyond the old
    // size are undefined until written); false when the memory cannot be had.
    bool Resize(std::uint64_t bytes);
    void Free();

private:
    std::unique_ptr<std::uint8_t[]> memory_;
    std::uint64_t capacity_ = 0;
    std::uint64_t size_ = 0;
    bool allocated_ = false;
};

}  // namespace pelmora
