#include "sound/FrameTransfer.h"

#include <algorithm>
#include <vector>

#include "base/Error.h"
#include "sound/FileRead.h"

namespace pelmora {

namespace {

enum class Direction { SoundToRaw, RawToSound };

// The one loop behind both directions: `from` and `to` are the sound and the raw file in the
// order of `direction`. When the channels are the whole frame the bytes go file to file;
// otherwise each block of frames is packed or unpacked through two buffers.
void TransferFrames(Direction direction, const platform::File& from, platform::File& to,
                    const FrameLayout& layout, ChannelRange channels, std::uint64_t first,
                    std::uint64_t count, std::uint64_t rawOffset, const BlockDone& blockDone) {
    const std::size_t frameSize = layout.frameSize;
    const std::size_t rawFrame = static_cast<std::size_t>(channels.Count()) * layout.bytesPerSample;
    const std::size_t skip = static_cast<std::size_t>(channels.first) * layout.bytesPerSample;
    const std::size_t perBlock = FramesPerBlock(frameSize);
    const bool whole = rawFrame == frameSize;
    const bool toRaw = direction == Direction::SoundToRaw;
    std::vector<std::uint8_t> block(whole ? 0 : perBlock * frameSize);  // as in the sound
    std::vector<std::uint8_t> packed(whole ? 0 : perBlock * rawFrame);  // the chosen channels
    for (std::uint64_t done = 0; done < count;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(perBlock, count - done));
        const std::uint64_t soundAt = layout.dataOffset + (first + done) * frameSize;
        const std::uint64_t rawAt = rawOffset + done * rawFrame;
        if (whole) {
            if (!platform::CopyFileRange(from, toRaw ? soundAt : rawAt, to, toRaw ? rawAt : soundAt,
                                         n * frameSize)) {
                throw Error(WriteFailure(StringId::FileReadError));
            }
        } else if (toRaw) {
            if (!ReadHeld(from, soundAt, block.data(), n * frameSize))
                throw Error(StringId::FileReadError);
            for (std::size_t i = 0; i < n; ++i)
                std::copy_n(&block[i * frameSize + skip], rawFrame, &packed[i * rawFrame]);
            if (!to.WriteAt(rawAt, packed.data(), n * rawFrame))
                throw Error(WriteFailure());
        } else {
            // The other channels of the sound's frames keep their bytes.
            if (!ReadHeld(to, soundAt, block.data(), n * frameSize) ||
                !ReadHeld(from, rawAt, packed.data(), n * rawFrame)) {
                throw Error(StringId::FileReadError);
            }
            for (std::size_t i = 0; i < n; ++i)
                std::copy_n(&packed[i * rawFrame], rawFrame, &block[i * frameSize + skip]);
            if (!to.WriteAt(soundAt, block.data(), n * frameSize))
                throw Error(WriteFailure());
        }
        done += n;
        if (blockDone) blockDone();
    }
}

}  // namespace

void GatherFrames(const platform::File& sound, const FrameLayout& layout, ChannelRange channels,
                  std::uint64_t first, std::uint64_t count, platform::File& raw,
                  std::uint64_t rawOffset, const BlockDone& blockDone) {
    TransferFrames(Direction::SoundToRaw, sound, raw, layout, channels, first, count, rawOffset,
                   blockDone);
}

void ScatterFrames(const platform::File& raw, std::uint64_t rawOffset, platform::File& sound,
                   const FrameLayout& layout, ChannelRange channels, std::uint64_t first,
                   std::uint64_t count, const BlockDone& blockDone) {
    TransferFrames(Direction::RawToSound, raw, sound, layout, channels, first, count, rawOffset,
                   blockDone);
}

}  // namespace pelmora
