#include "edit/Reverse.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Error.h"
#include "edit/SelectionStream.h"

namespace pelmora {

namespace {

inline constexpr std::size_t kHalfBufferBytes = 16384;

// Pairs the front chunk's first frame with the back chunk's last, and so on inward, exchanging
// `Length` bytes at the same place in each frame.
template <std::size_t Length>
void SwapMirrored(std::uint8_t* front, std::uint8_t* back, std::size_t frames, std::size_t frameSize) {
    std::uint8_t* b = back + (frames - 1) * frameSize;
    for (std::size_t i = 0; i < frames; ++i, front += frameSize, b -= frameSize) {
        std::uint8_t held[Length];
        std::memcpy(held, front, Length);
        std::memcpy(front, b, Length);
        std::memcpy(b, held, Length);
    }
}

using SwapFunction = void (*)(std::uint8_t*, std::uint8_t*, std::size_t, std::size_t);

// The exchange for the selected bytes of a frame: 1 to 4 bytes per sample, one or two channels.
SwapFunction SwapFor(std::size_t length) {
    switch (length) {
    case 1: return SwapMirrored<1>;
    case 2: return SwapMirrored<2>;
    case 3: return SwapMirrored<3>;
    case 4: return SwapMirrored<4>;
    case 6: return SwapMirrored<6>;
    case 8: return SwapMirrored<8>;
    default: return nullptr;
    }
}

}  // namespace

bool Reverse(COLMDoc& doc) {
    const SoundInfo& info = doc.Info();
    const std::uint32_t start = doc.selectionStart, end = doc.selectionEnd;
    if (end <= start) return false;
    const std::size_t frameSize = info.blockAlign;
    const ChannelRange channels = SelectedChannels(doc);
    const std::size_t offset = static_cast<std::size_t>(channels.first) * info.bytesPerSample;
    const SwapFunction swap = SwapFor(static_cast<std::size_t>(channels.Count()) * info.bytesPerSample);
    if (!swap) throw Error(StringId::DataError);
    const std::size_t halfFrames = std::max<std::size_t>(1, kHalfBufferBytes / frameSize);
    const std::uint32_t frontFrames = (end - start) / 2;
    const std::uint64_t chunks = (frontFrames + halfFrames - 1) / halfFrames;
    return RunInPlaceEdit(doc, StringId::ReverseOperation, chunks, [&](platform::File& working, BlockSteps& steps) {
        std::vector<std::uint8_t> front(std::min<std::size_t>(halfFrames, frontFrames) * frameSize);
        std::vector<std::uint8_t> back(front.size());
        std::uint64_t frontAt = info.dataOffset + static_cast<std::uint64_t>(start) * frameSize;
        std::uint64_t backEnd = info.dataOffset + static_cast<std::uint64_t>(end) * frameSize;
        for (std::uint32_t left = frontFrames; left > 0;) {
            const std::size_t m = std::min<std::size_t>(halfFrames, left);
            const std::size_t bytes = m * frameSize;
            const std::uint64_t backAt = backEnd - bytes;
            if (!working.ReadAt(frontAt, front.data(), bytes) || !working.ReadAt(backAt, back.data(), bytes))
                throw Error(StringId::FileReadError);
            swap(front.data() + offset, back.data() + offset, m, frameSize);
            if (!working.WriteAt(frontAt, front.data(), bytes) || !working.WriteAt(backAt, back.data(), bytes))
                throw Error(WriteFailure());
            frontAt += bytes;
            backEnd = backAt;
            left -= static_cast<std::uint32_t>(m);
            steps();
        }
    });
}

}  // namespace pelmora
