#include "sound/FrameTransfer.h"

#include <algorithm>
#include <vector>

#include "base/Error.h"

namespace pelmora {

namespace {

bool AllChannels(const FrameLayout& layout, ChannelRange channels) {
    return static_cast<std::size_t>(channels.Count()) * layout.bytesPerSample == layout.frameSize;
}

}  // namespace

void GatherFrames(const platform::File& sound, const FrameLayout& layout, ChannelRange channels,
                  std::uint64_t first, std::uint64_t count, platform::File& raw,
                  std::uint64_t rawOffset, const BlockDone& blockDone) {
    const std::size_t frameSize = layout.frameSize;
    const std::size_t rawFrame = static_cast<std::size_t>(channels.Count()) * layout.bytesPerSample;
    const std::size_t skip = static_cast<std::size_t>(channels.first) * layout.bytesPerSample;
    const std::size_t perBlock = FramesPerBlock(frameSize);
    const bool whole = AllChannels(layout, channels);
    std::vector<std::uint8_t> block(whole ? 0 : perBlock * frameSize);
    std::vector<std::uint8_t> packed(whole ? 0 : perBlock * rawFrame);
    for (std::uint64_t done = 0; done < count;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(perBlock, count - done));
        const std::uint64_t from = layout.dataOffset + (first + done) * frameSize;
        const std::uint64_t to = rawOffset + done * rawFrame;
        if (whole) {
            if (!platform::CopyFileRange(sound, from, raw, to, n * frameSize))
                throw Error(StringId::FileReadError);
        } else {
            if (!sound.ReadAt(from, block.data(), n * frameSize)) throw Error(StringId::FileReadError);
            for (std::size_t i = 0; i < n; ++i)
                std::copy_n(block.data() + i * frameSize + skip, rawFrame, packed.data() + i * rawFrame);
            if (!raw.WriteAt(to, packed.data(), n * rawFrame)) throw Error(StringId::FileWriteError);
        }
        done += n;
        if (blockDone) blockDone();
    }
}

void ScatterFrames(const platform::File& raw, std::uint64_t rawOffset, platform::File& sound,
                   const FrameLayout& layout, ChannelRange channels, std::uint64_t first,
                   std::uint64_t count, const BlockDone& blockDone) {
    const std::size_t frameSize = layout.frameSize;
    const std::size_t rawFrame = static_cast<std::size_t>(channels.Count()) * layout.bytesPerSample;
    const std::size_t skip = static_cast<std::size_t>(channels.first) * layout.bytesPerSample;
    const std::size_t perBlock = FramesPerBlock(frameSize);
    const bool whole = AllChannels(layout, channels);
    std::vector<std::uint8_t> block(whole ? 0 : perBlock * frameSize);
    std::vector<std::uint8_t> packed(whole ? 0 : perBlock * rawFrame);
    for (std::uint64_t done = 0; done < count;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(perBlock, count - done));
        const std::uint64_t to = layout.dataOffset + (first + done) * frameSize;
        const std::uint64_t from = rawOffset + done * rawFrame;
        if (whole) {
            if (!platform::CopyFileRange(raw, from, sound, to, n * frameSize))
                throw Error(StringId::FileReadError);
        } else {
            if (!sound.ReadAt(to, block.data(), n * frameSize) ||
                !raw.ReadAt(from, packed.data(), n * rawFrame)) {
                throw Error(StringId::FileReadError);
            }
            for (std::size_t i = 0; i < n; ++i)
                std::copy_n(packed.data() + i * rawFrame, rawFrame, block.data() + i * frameSize + skip);
            if (!sound.WriteAt(to, block.data(), n * frameSize)) throw Error(StringId::FileWriteError);
        }
        done += n;
        if (blockDone) blockDone();
    }
}

}  // namespace pelmora
