#pragma once
// Block streaming for the in-place effects: frames read block by block, processed with the
// width and file type fixed for the whole loop, and written back where they came from.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <vector>

#include "base/Error.h"
#include "base/ProgressTask.h"
#include "document/COLMDoc.h"
#include "edit/EditFrame.h"
#include "platform/File.h"
#include "sound/FrameTransfer.h"

namespace pelmora {

namespace detail {
template <typename FileRef, typename Process>
void StreamFrames(FileRef& file, const SoundInfo& info, std::uint32_t first, std::uint32_t count,
                  Process&& process, const std::function<void()>& blockDone) {
    constexpr bool kWrite = !std::is_const_v<FileRef>;
    const std::size_t frameSize = info.blockAlign;
    const std::size_t perBlock = FramesPerBlock(frameSize);
    std::vector<std::uint8_t> block(std::min<std::size_t>(perBlock, count) * frameSize);
    for (std::uint32_t done = 0; done < count;) {
        const std::size_t n = std::min<std::size_t>(perBlock, count - done);
        const std::uint64_t at = info.dataOffset + static_cast<std::uint64_t>(first + done) * frameSize;
        if (!file.ReadAt(at, block.data(), n * frameSize)) throw Error(StringId::FileReadError);
        process(block.data(), n);
        if constexpr (kWrite) {
            if (!file.WriteAt(at, block.data(), n * frameSize)) throw Error(StringId::FileWriteError);
        }
        done += static_cast<std::uint32_t>(n);
        if (blockDone) blockDone();
    }
}
}  // namespace detail

// Calls process(block, frames) for frames [first, first + count) of the sound, one block at a
// time, and writes each block back. `blockDone` follows every block.
template <typename Process>
void RewriteFrames(platform::File& file, const SoundInfo& info, std::uint32_t first,
                   std::uint32_t count, Process&& process, const std::function<void()>& blockDone = {}) {
    detail::StreamFrames(file, info, first, count, process, blockDone);
}

// The same, reading only.
template <typename Process>
void ScanFrames(const platform::File& file, const SoundInfo& info, std::uint32_t first,
                std::uint32_t count, Process&& process, const std::function<void()>& blockDone = {}) {
    detail::StreamFrames(file, info, first, count, process, blockDone);
}

// Calls fn(samplePointer) for every sample of the channels in `channels` in `frames` frames.
// With every channel selected the samples lie back to back and the loop runs straight through.
template <int Bytes, typename Fn>
inline void ForSelectedSamples(std::uint8_t* block, std::size_t frames, std::size_t frameSize,
                               ChannelRange channels, Fn&& fn) {
    const std::size_t count = channels.Count();
    if (count * Bytes == frameSize) {
        const std::size_t samples = frames * count;
        for (std::size_t i = 0; i < samples; ++i) fn(block + i * Bytes);
        return;
    }
    std::uint8_t* p = block + static_cast<std::size_t>(channels.first) * Bytes;
    for (std::size_t i = 0; i < frames; ++i, p += frameSize)
        for (std::size_t c = 0; c < count; ++c) fn(p + c * Bytes);
}

// Steps one display over a known number of blocks (never past its end).
class BlockSteps {
public:
    BlockSteps(ProgressTask& progress, std::uint64_t total) : progress_(progress), total_(total) {}
    void operator()() { progress_.Step(done_ < total_ ? ++done_ : total_, total_); }

private:
    ProgressTask& progress_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
};

// Runs an in-place effect over the selection (selected channels) inside the common frame with
// code 0: the display shows `status` over `blocks` blocks, the body streams the working file,
// and the changed frames are reported to the document. False for an empty selection.
bool RunInPlaceEdit(COLMDoc& doc, StringId status, std::uint64_t blocks,
                    const std::function<void(platform::File&, BlockSteps&)>& body);

// Blocks an effect over the selection takes.
std::uint64_t SelectionBlocks(const COLMDoc& doc);

}  // namespace pelmora
