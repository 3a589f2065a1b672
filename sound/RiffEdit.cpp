#include "sound/RiffEdit.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "base/BlockMoves.h"
#include "base/Error.h"
#include "sound/Bytes.h"

namespace pelmora::riff {

std::uint64_t LengthOf(const platform::File& file) {
    const std::int64_t length = file.Size();
    if (length < 0) throw Error(StringId::FileReadError);
    return static_cast<std::uint64_t>(length);
}

void RemoveChunk(platform::File& file, const Chunk& chunk) {
    const std::uint64_t length = LengthOf(file);
    if (chunk.headerOffset >= length) return;
    const std::uint64_t end = std::min(NextChunkOffset(file, chunk, length), length);
    MoveBytesQuiet(file, end, chunk.headerOffset, length - end);
    if (!file.SetSize(length - (end - chunk.headerOffset))) throw Error(WriteFailure());
}

void InsertGap(platform::File& file, std::uint64_t position, std::uint64_t count) {
    const std::uint64_t length = LengthOf(file);
    if (position > length || count == 0) return;
    MoveBytesQuiet(file, position, position + count, length - position);
    const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(count), 0);
    if (!file.WriteAt(position, zeros.data(), zeros.size())) throw Error(WriteFailure());
}

std::uint64_t EvenEnd(platform::File& file) {
    const std::uint64_t length = LengthOf(file);
    if ((length & 1u) == 0) return length;
    const std::uint8_t pad = 0;
    if (!file.WriteAt(length, &pad, 1)) throw Error(WriteFailure());
    return length + 1;
}

void SetFormSize(platform::File& file) {
    const std::uint64_t length = LengthOf(file);
    std::uint8_t size[4];
    StoreLE32(size, static_cast<std::uint32_t>(
                        std::min<std::uint64_t>(length < 8 ? 0 : length - 8,
                                                std::numeric_limits<std::uint32_t>::max())));
    if (!file.WriteAt(4, size, sizeof size)) throw Error(WriteFailure());
}

}  // namespace pelmora::riff
