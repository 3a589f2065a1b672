#pragma once
// Streaming frames between a sound file and a raw file of packed frames (the clip, undo and
// redo files), block by block. A raw file holds only the chosen channels of each frame.

#include <cstdint>
#include <functional>

#include "platform/File.h"
#include "sound/SoundInfo.h"

namespace pelmora {

inline constexpr std::size_t kBlockBytes = 32768;

// The largest whole number of frames of this size that fits in one block.
inline std::size_t FramesPerBlock(std::size_t frameSize) {
    return frameSize == 0 ? 1 : (kBlockBytes / frameSize == 0 ? 1 : kBlockBytes / frameSize);
}

// Where the frames of a sound lie in its file.
struct FrameLayout {
    std::uint64_t dataOffset = 0;
    std::uint16_t frameSize = 1;
    std::uint16_t bytesPerSample = 1;
};

inline FrameLayout LayoutOf(const SoundInfo& info) {
    return {info.dataOffset, info.blockAlign, info.bytesPerSample};
}

// A range of channels [first, end) of each frame.
struct ChannelRange {
    std::uint16_t first = 0;
    std::uint16_t end = 1;
    std::uint16_t Count() const { return static_cast<std::uint16_t>(end - first); }
};

// Called after each block; false from it is not a cancel (these copies cannot be stopped).
using BlockDone = std::function<void()>;

// Copies frames [first, first + count) of `channels` from the sound to the raw file at
// `rawOffset`. Raises "File read error" / "File write error".
void GatherFrames(const platform::File& sound, const FrameLayout& layout, ChannelRange channels,
                  std::uint64_t first, std::uint64_t count, platform::File& raw,
                  std::uint64_t rawOffset, const BlockDone& blockDone = {});

// Writes `count` packed frames of the raw file into `channels` of the sound's frames starting at
// `first`; the other channels keep their bytes.
void ScatterFrames(const platform::File& raw, std::uint64_t rawOffset, platform::File& sound,
                   const FrameLayout& layout, ChannelRange channels, std::uint64_t first,
                   std::uint64_t count, const BlockDone& blockDone = {});

// Number of blocks a transfer of `count` frames of `frameSize` takes.
inline std::uint64_t BlocksForFrames(std::uint64_t count, std::size_t frameSize) {
    const std::size_t perBlock = FramesPerBlock(frameSize);
    return (count + perBlock - 1) / perBlock;
}

}  // namespace pelmora
