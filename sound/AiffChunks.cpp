#include "sound/AiffChunks.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/BlockMoves.h"
#include "base/Error.h"
#include "sound/FileRead.h"

namespace pelmora::aiff {

namespace {

constexpr std::size_t kMaxChunks = 65536;

bool IsKnownId(const std::uint8_t* p) {
    static constexpr std::array<const char*, 16> kKnown = {
        "COMM", "SSND", "MARK", "INST", "COMT", "APPL", "NAME", "AUTH",
        "ANNO", "(c) ", "AESD", "MIDI", "FVER", "ID3 ", "CHAN", "FLLR"};
    for (const char* id : kKnown) {
        if (std::memcmp(p, id, 4) == 0) return true;
    }
    return false;
}

// Printable ASCII with no leading space, as the IFF rules ask of chunk ids.
bool IsPlausibleId(const std::uint8_t* p) {
    if (p[0] == ' ') return false;
    return std::all_of(p, p + 4, [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

// After a body ending at `end`: our own pad chunk is followed directly by the next header,
// other writers put a pad byte after an odd body. Known ids decide first, then plausible ones.
std::uint64_t NextHeaderPosition(const platform::File& file, std::uint64_t end, bool oddBody,
                                 std::uint64_t listEnd, std::uint64_t fileLength) {
    std::array<std::uint8_t, 5> look{};
    std::size_t have = 0;
    if (end < listEnd) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(5, listEnd - end));
        const std::int64_t got = ReadUpTo(file, end, look.data(), want);
        have = got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    const bool hereKnown = have >= 4 && IsKnownId(look.data());
    const bool herePlausible = have >= 4 && IsPlausibleId(look.data());
    const bool afterPadKnown = have >= 5 && IsKnownId(look.data() + 1);
    std::uint64_t next = end;
    if (oddBody) {
        if (hereKnown) next = end;
        else if (afterPadKnown) next = end + 1;
        else if (herePlausible) next = end;
        else next = end + 1;
    } else if (!herePlausible && afterPadKnown) {
        next = end + 1;  // a stray pad byte left behind an even body
    }
    return std::min(next, std::max(end, fileLength));
}

void WriteOrThrow(platform::File& file, std::uint64_t offset, const void* data, std::size_t n) {
    if (n != 0 && !file.WriteAt(offset, data, n)) throw Error(WriteFailure());
}

void WriteChunkAt(platform::File& file, std::uint64_t position, FourCC id,
                  const std::vector<std::uint8_t>& body) {
    std::uint8_t head[kChunkHeaderBytes];
    StoreFourCC(head, id);
    StoreBE32(head + 4, static_cast<std::uint32_t>(body.size()));
    WriteOrThrow(file, position, head, sizeof head);
    WriteOrThrow(file, position + kChunkHeaderBytes, body.data(), body.size());
}

}  // namespace

std::uint64_t LengthOf(const platform::File& file) {
    const std::int64_t length = file.Size();
    if (length < 0) throw Error(StringId::FileReadError);
    return static_cast<std::uint64_t>(length);
}

bool ReadFormHeader(const platform::File& file, std::uint32_t& formSize) {
    std::uint8_t head[kFormHeaderBytes];
    if (!ReadHeld(file, 0, head, sizeof head)) return false;
    if (!(LoadFourCC(head) == kForm) || !(LoadFourCC(head + 8) == kAiff)) return false;
    formSize = LoadBE32(head + 4);
    return true;
}

std::uint64_t ReaderListEnd(std::uint32_t formSize, std::uint64_t fileLength) {
    return std::min<std::uint64_t>(std::uint64_t{formSize} + 8, fileLength);
}

std::vector<ChunkRef> WalkChunks(const platform::File& file, std::uint64_t listEnd,
                                 std::uint64_t fileLength) {
    std::vector<ChunkRef> chunks;
    listEnd = std::min(listEnd, fileLength);
    std::uint64_t position = kFormHeaderBytes;
    while (position + kChunkHeaderBytes <= listEnd && chunks.size() < kMaxChunks) {
        std::uint8_t head[kChunkHeaderBytes];
        if (!ReadHeld(file, position, head, sizeof head)) break;
        ChunkRef chunk;
        chunk.id = LoadFourCC(head);
        chunk.position = position;
        chunk.size = LoadBE32(head + 4);
        const std::uint64_t body = chunk.BodyPosition();
        chunk.available = std::min<std::uint64_t>(chunk.size, fileLength - body);
        if (chunk.available < chunk.size) {
            chunk.next = fileLength;
            chunks.push_back(chunk);
            break;
        }
        chunk.next = NextHeaderPosition(file, chunk.BodyEnd(), chunk.size % 2 != 0, listEnd,
                                        fileLength);
        chunks.push_back(chunk);
        position = chunk.next;
    }
    return chunks;
}

std::optional<ChunkRef> FindChunk(const std::vector<ChunkRef>& chunks, FourCC id) {
    for (const ChunkRef& chunk : chunks) {
        if (chunk.id == id) return chunk;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> ReadBody(const platform::File& file, const ChunkRef& chunk,
                                   std::uint64_t maxBytes) {
    std::vector<std::uint8_t> body(
        static_cast<std::size_t>(std::min<std::uint64_t>(chunk.available, maxBytes)));
    if (!body.empty() && !ReadHeld(file, chunk.BodyPosition(), body.data(), body.size()))
        throw Error(StringId::FileReadError);
    return body;
}

std::uint64_t Footprint(const ChunkRef& chunk) { return chunk.next - chunk.position; }

std::int64_t ReplaceChunkBody(platform::File& file, const ChunkRef& chunk,
                              const std::vector<std::uint8_t>& body) {
    const std::uint64_t length = LengthOf(file);
    const std::uint64_t tail = length - std::min(length, chunk.next);
    const bool pad = body.size() % 2 != 0 && tail != 0;
    const std::uint64_t oldFootprint = Footprint(chunk);
    const std::uint64_t newFootprint = kChunkHeaderBytes + body.size() + (pad ? 1 : 0);
    if (newFootprint != oldFootprint) {
        MoveBytesQuiet(file, chunk.next, chunk.position + newFootprint, tail);
        if (newFootprint < oldFootprint &&
            !file.SetSize(length - (oldFootprint - newFootprint))) {
            throw Error(WriteFailure());
        }
    }
    WriteChunkAt(file, chunk.position, chunk.id, body);
    if (pad) {
        const std::uint8_t zero = 0;
        WriteOrThrow(file, chunk.position + kChunkHeaderBytes + body.size(), &zero, 1);
    }
    return static_cast<std::int64_t>(newFootprint) - static_cast<std::int64_t>(oldFootprint);
}

std::uint64_t RemoveChunk(platform::File& file, const ChunkRef& chunk) {
    const std::uint64_t length = LengthOf(file);
    const std::uint64_t footprint = std::min(Footprint(chunk), length - chunk.position);
    const std::uint64_t tail = length - chunk.position - footprint;
    MoveBytesQuiet(file, chunk.position + footprint, chunk.position, tail);
    if (!file.SetSize(length - footprint)) throw Error(WriteFailure());
    return footprint;
}

std::uint64_t AppendChunk(platform::File& file, FourCC id, const std::vector<std::uint8_t>& body) {
    std::uint64_t position = LengthOf(file);
    if (position % 2 != 0) {
        const std::uint8_t zero = 0;
        WriteOrThrow(file, position, &zero, 1);
        ++position;
    }
    WriteChunkAt(file, position, id, body);
    return position;
}

std::uint64_t SetFormSizeToLength(platform::File& file) {
    const std::uint64_t length = LengthOf(file);
    std::uint8_t size[4];
    const std::uint64_t formSize = length >= 8 ? length - 8 : 0;
    StoreBE32(size, static_cast<std::uint32_t>(std::min<std::uint64_t>(formSize, UINT32_MAX)));
    WriteOrThrow(file, 4, size, sizeof size);
    return length;
}

}  // namespace pelmora::aiff
