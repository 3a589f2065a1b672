#include "document/WorkingFile.h"

#include <algorithm>
#include <vector>

#include "base/BlockMoves.h"
#include "base/Error.h"

namespace pelmora {

namespace {

void TakeLength(SoundInfo& info, std::uint32_t frames, std::uint64_t trailing) {
    info.frames = frames;
    info.dataEnd = static_cast<std::uint32_t>(info.dataOffset + DataBytes(info));
    info.workingFileLength = static_cast<std::uint32_t>(info.dataEnd + trailing);
}

std::uint64_t FrameByte(const SoundInfo& info, std::uint64_t frame) {
    return info.dataOffset + frame * info.blockAlign;
}

}  // namespace

std::uint64_t TrailingBytes(const SoundInfo& info) {
    const std::uint64_t end = info.dataOffset + DataBytes(info);
    return info.workingFileLength > end ? info.workingFileLength - end : 0;
}

void ResizeDataAtEnd(platform::File& file, SoundInfo& info, std::uint32_t frames) {
    if (frames == info.frames) return;
    const std::uint64_t trailing = TrailingBytes(info);
    const std::uint64_t oldEnd = FrameByte(info, info.frames);
    const std::uint64_t newEnd = FrameByte(info, frames);
    MoveBytesQuiet(file, oldEnd, newEnd, trailing);
    if (!file.SetSize(newEnd + trailing)) throw Error(WriteFailure());
    if (newEnd > oldEnd) {
        std::vector<std::uint8_t> silence(std::min<std::uint64_t>(kMoveChunkBytes, newEnd - oldEnd),
                                          SilenceByte(info));
        for (std::uint64_t at = oldEnd; at < newEnd; at += silence.size()) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(silence.size(), newEnd - at));
            if (!file.WriteAt(at, silence.data(), n)) throw Error(WriteFailure());
        }
    }
    TakeLength(info, frames, trailing);
}

void OpenFrameGap(platform::File& file, SoundInfo& info, std::uint32_t at, std::uint32_t count,
                  ProgressTask& progress, StringId status, std::uint64_t progressTotal) {
    const std::uint64_t trailing = TrailingBytes(info);
    const std::uint64_t from = FrameByte(info, at);
    const std::uint64_t tail = info.workingFileLength - from;
    MoveBytes(file, from, from + static_cast<std::uint64_t>(count) * info.blockAlign, tail,
              progress, status, progressTotal);
    // With nothing after the gap the move wrote nothing: the gap must still exist for the frames
    // written into it.
    if (!file.SetSize(info.workingFileLength + static_cast<std::uint64_t>(count) * info.blockAlign))
        throw Error(WriteFailure());
    TakeLength(info, info.frames + count, trailing);
}

void CloseFrameGap(platform::File& file, SoundInfo& info, std::uint32_t at, std::uint32_t count,
                   ProgressTask& progress, StringId status, std::uint64_t progressTotal) {
    const std::uint64_t trailing = TrailingBytes(info);
    const std::uint64_t to = FrameByte(info, at);
    const std::uint64_t from = FrameByte(info, static_cast<std::uint64_t>(at) + count);
    MoveBytes(file, from, to, info.workingFileLength - from, progress, status, progressTotal);
    if (!file.SetSize(info.workingFileLength - (from - to))) throw Error(WriteFailure());
    TakeLength(info, info.frames - count, trailing);
}

}  // namespace pelmora
