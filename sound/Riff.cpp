#include "sound/Riff.h"

#include <algorithm>
#include <limits>

#include "sound/FileRead.h"

namespace pelmora::riff {

namespace {

bool IsPrintableId(const std::uint8_t* p) {
    return std::all_of(p, p + 4, [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

}  // namespace

bool LooksLikeHeader(const platform::File& file, std::uint64_t position, std::uint64_t limit) {
    if (position > limit || limit - position < kHeaderBytes) return false;
    std::uint8_t header[kHeaderBytes];
    if (!ReadHeld(file, position, header, sizeof header)) return false;
    return IsPrintableId(header) && LoadLE32(header + 4) <= limit - position - kHeaderBytes;
}

RiffReader::RiffReader(const platform::File& file) : file_(file) {
    const std::int64_t size = file.IsOpen() ? file.Size() : -1;
    open_ = size >= 0;
    fileSize_ = open_ ? static_cast<std::uint64_t>(size) : 0;
}

bool RiffReader::HeaderAt(std::uint64_t position, std::uint64_t limit, Chunk& chunk) const {
    limit = std::min(limit, fileSize_);
    if (position > limit || limit - position < kHeaderBytes) return false;
    std::uint8_t header[kHeaderBytes];
    if (!ReadHeld(file_, position, header, sizeof header)) return false;
    chunk = Chunk{};
    chunk.id = LoadFourCC(header);
    chunk.size = LoadLE32(header + 4);
    chunk.headerOffset = position;
    chunk.dataOffset = position + kHeaderBytes;
    chunk.limit = std::min(chunk.DeclaredEnd(), limit);
    chunk.held = std::min(chunk.DeclaredEnd(), fileSize_) - chunk.dataOffset;
    if (IsListId(chunk.id) && chunk.limit - chunk.dataOffset >= kListTypeBytes) {
        std::uint8_t type[kListTypeBytes];
        if (!ReadHeld(file_, chunk.dataOffset, type, sizeof type)) return false;
        chunk.listType = LoadFourCC(type);
    }
    return true;
}

std::uint64_t NextChunkOffset(const platform::File& file, const Chunk& chunk,
                              std::uint64_t limit) {
    const std::uint64_t end = chunk.DeclaredEnd();
    if ((chunk.size & 1u) == 0) return end;
    std::uint8_t pad = 0;
    if (end < limit && ReadHeld(file, end, &pad, 1) && pad != 0 && LooksLikeHeader(file, end, limit)) {
        return end;
    }
    return end + 1;
}

std::uint64_t RiffReader::NextSibling(const Chunk& chunk, std::uint64_t limit) const {
    return NextChunkOffset(file_, chunk, std::min(limit, fileSize_));
}

bool RiffReader::DescendForm(FourCC formType, Chunk& form) {
    Chunk chunk;
    if (!HeaderAt(position_, fileSize_, chunk) || chunk.id != kRiffId) return false;
    if (chunk.size == 0 || chunk.DeclaredEnd() > fileSize_) {
        chunk.limit = fileSize_;
        chunk.held = fileSize_ - chunk.dataOffset;
        std::uint8_t type[kListTypeBytes];
        if (fileSize_ - chunk.dataOffset < kListTypeBytes ||
            !ReadHeld(file_, chunk.dataOffset, type, sizeof type)) {
            return false;
        }
        chunk.listType = LoadFourCC(type);
    } else if (chunk.size < kListTypeBytes) {
        return false;
    }
    if (chunk.listType != formType) return false;
    form = chunk;
    position_ = form.FirstChild();
    return true;
}

bool RiffReader::DescendNext(const Chunk& parent, Chunk& found) {
    const std::uint64_t position = std::max(position_, parent.FirstChild());
    if (!HeaderAt(position, parent.limit, found)) return false;
    position_ = IsListId(found.id) ? found.FirstChild() : found.dataOffset;
    return true;
}

bool RiffReader::Descend(const Chunk& parent, FourCC id, Chunk& found) {
    std::uint64_t position = std::max(position_, parent.FirstChild());
    Chunk chunk;
    while (HeaderAt(position, parent.limit, chunk)) {
        if (chunk.id == id) {
            found = chunk;
            position_ = IsListId(id) ? found.FirstChild() : found.dataOffset;
            return true;
        }
        position = NextSibling(chunk, parent.limit);
    }
    return false;
}

bool RiffReader::DescendList(const Chunk& parent, FourCC listType, Chunk& found) {
    const std::uint64_t start = position_;
    Chunk chunk;
    while (Descend(parent, kListId, chunk)) {
        if (chunk.listType == listType) {
            found = chunk;
            return true;
        }
        Ascend(chunk);
    }
    position_ = start;
    return false;
}

void RiffReader::Ascend(const Chunk& chunk) {
    position_ = NextSibling(chunk, std::numeric_limits<std::uint64_t>::max());
}

std::int64_t RiffReader::Read(const Chunk& chunk, void* buffer, std::size_t count) {
    const std::uint64_t bodyEnd = chunk.dataOffset + chunk.held;
    if (position_ < chunk.dataOffset || position_ >= bodyEnd) return 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, bodyEnd - position_));
    const std::int64_t got = ReadUpTo(file_, position_, buffer, n);
    if (got > 0) position_ += static_cast<std::uint64_t>(got);
    return got;
}

bool RiffReader::ReadBody(const Chunk& chunk, std::uint64_t offset, void* buffer,
                          std::size_t count) const {
    if (offset > chunk.held || chunk.held - offset < count) return false;
    return ReadHeld(file_, chunk.dataOffset + offset, buffer, count);
}

RiffWriter::RiffWriter(platform::File& file) : RiffReader(file), writable_(file) {}

bool RiffWriter::CreateChunk(FourCC id, Chunk& chunk) {
    std::uint8_t header[kHeaderBytes] = {};
    StoreFourCC(header, id);
    if (!Write(header, sizeof header)) return false;
    chunk = Chunk{};
    chunk.id = id;
    chunk.headerOffset = position_ - kHeaderBytes;
    chunk.dataOffset = position_;
    chunk.limit = std::numeric_limits<std::uint64_t>::max();
    chunk.created = true;
    return true;
}

bool RiffWriter::CreateList(FourCC listId, FourCC listType, Chunk& list) {
    std::uint8_t type[kListTypeBytes];
    StoreFourCC(type, listType);
    if (!CreateChunk(listId, list) || !Write(type, sizeof type)) return false;
    list.listType = listType;
    return true;
}

bool RiffWriter::Write(const void* buffer, std::size_t count) {
    if (!writable_.WriteAt(position_, buffer, count)) return false;
    position_ += count;
    fileSize_ = std::max(fileSize_, position_);
    return true;
}

bool RiffWriter::Ascend(Chunk& chunk) {
    if (!chunk.created) {
        RiffReader::Ascend(chunk);
        return true;
    }
    if (position_ < chunk.dataOffset ||
        position_ - chunk.dataOffset > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    chunk.size = static_cast<std::uint32_t>(position_ - chunk.dataOffset);
    chunk.held = chunk.size;
    std::uint8_t size[4];
    StoreLE32(size, chunk.size);
    if (!writable_.WriteAt(chunk.dataOffset - 4, size, sizeof size)) return false;
    if (chunk.size & 1u) {
        const std::uint8_t pad = 0;
        if (!Write(&pad, 1)) return false;
    }
    return true;
}

}  // namespace pelmora::riff
