#include "base/BlockMoves.h"

#include <algorithm>
#include <vector>

#include "base/Error.h"
#include "platform/FreeSpace.h"

namespace pelmora {

namespace {

// One chunk of a move; `forward` false walks from the end so that an upward move never
// overwrites bytes it has not read yet.
template <typename OnChunk>
void CopyChunks(platform::File& file, std::uint64_t from, std::uint64_t to, std::uint64_t length,
                std::uint32_t chunkBytes, OnChunk&& onChunk) {
    if (length == 0 || from == to) return;
    std::vector<unsigned char> buffer(std::min<std::uint64_t>(chunkBytes, length));
    const bool forward = from > to;
    std::uint64_t done = 0;
    while (done < length) {
        std::uint64_t n = std::min<std::uint64_t>(chunkBytes, length - done);
        std::uint64_t offset = forward ? done : length - done - n;
        if (!file.ReadAt(from + offset, buffer.data(), n)) throw Error(StringId::FileReadError);
        if (!file.WriteAt(to + offset, buffer.data(), n)) throw Error(WriteFailure());
        done += n;
        onChunk();
    }
}

void CheckRoomToGrow(const platform::File& file, std::uint64_t bytes) {
    auto free = platform::FreeBytesOfOpenFile(file.Descriptor());
    if (free && *free < bytes) throw Error(StringId::EmptyDiskSpace);
}

}  // namespace

void MoveBytes(platform::File& file, std::uint64_t from, std::uint64_t to, std::uint64_t length,
               ProgressTask& progress, StringId status, std::uint64_t progressTotal) {
    if (from < to) CheckRoomToGrow(file, to - from);

    const std::uint64_t blocks = BlocksFor(progressTotal != 0 ? progressTotal : length);
    const bool continuing = progress.IsActive();
    std::uint64_t position = 0;
    std::uint64_t range = blocks;
    if (continuing) {
        position = progress.Position();
        range = position + blocks;
    } else {
        progress.Start(status);
    }
    progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(range, UINT32_MAX)));

    CopyChunks(file, from, to, length, kMoveChunkBytes,
               [&] { progress.Step(++position, range); });

    if (continuing || progressTotal == 0) progress.End();
}

void MoveBytesQuiet(platform::File& file, std::uint64_t from, std::uint64_t to,
                    std::uint64_t length) {
    CopyChunks(file, from, to, length, kQuietMoveChunkBytes, [] {});
}

void FillSilence(platform::File& file, std::uint64_t position, std::uint64_t length,
                 std::uint8_t silenceByte, ProgressTask& progress, std::uint64_t progressTotal,
                 StringId status) {
    const std::uint64_t blocks = BlocksFor(progressTotal);
    progress.Start(status);
    progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(blocks, UINT32_MAX)));
    std::vector<unsigned char> buffer(std::min<std::uint64_t>(kMoveChunkBytes, length),
                                      silenceByte);
    std::uint64_t done = 0;
    std::uint64_t step = 0;
    while (done < length) {
        std::uint64_t n = std::min<std::uint64_t>(kMoveChunkBytes, length - done);
        if (!file.WriteAt(position + done, buffer.data(), n)) throw Error(WriteFailure());
        done += n;
        progress.Step(++step, blocks);
    }
}

}  // namespace pelmora
