#pragma once
// The chunk list of an AIFF "FORM": a bounded walk over the chunk headers, and the in-place
// edits the writers make to it (replace, remove, append, FORM size).

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/File.h"
#include "sound/Bytes.h"

namespace pelmora::aiff {

inline constexpr FourCC kForm = MakeFourCC("FORM");
inline constexpr FourCC kAiff = MakeFourCC("AIFF");
inline constexpr FourCC kComm = MakeFourCC("COMM");
inline constexpr FourCC kSsnd = MakeFourCC("SSND");
inline constexpr FourCC kMark = MakeFourCC("MARK");
inline constexpr FourCC kInst = MakeFourCC("INST");
inline constexpr FourCC kComt = MakeFourCC("COMT");
inline constexpr FourCC kAppl = MakeFourCC("APPL");

inline constexpr std::uint64_t kFormHeaderBytes = 12;
inline constexpr std::uint64_t kChunkHeaderBytes = 8;

struct ChunkRef {
    FourCC id{};
    std::uint64_t position = 0;  // of the 8-byte header
    std::uint32_t size = 0;      // as stored
    std::uint64_t available = 0; // body bytes the file really holds (less when cut short)
    // Where the next chunk header was found: directly after the body, or after a pad byte.
    std::uint64_t next = 0;

    std::uint64_t BodyPosition() const { return position + kChunkHeaderBytes; }
    std::uint64_t BodyEnd() const { return BodyPosition() + size; }
};

// Reads the FORM header; false unless it is "FORM" … "AIFF". formSize gets the stored size.
bool ReadFormHeader(const platform::File& file, std::uint32_t& formSize);

// Where the chunk list of a file ends for a reader: FORM size + 8, but not past the file.
std::uint64_t ReaderListEnd(std::uint32_t formSize, std::uint64_t fileLength);

// Every chunk from offset 12 whose header lies before listEnd. A chunk whose body runs past
// the end of the file is listed (cut short) and ends the walk. After a body the next header is
// taken directly (our own odd pad chunk) or after the standard pad byte, by which of the two
// places holds a chunk id; at most 65536 chunks are listed.
std::vector<ChunkRef> WalkChunks(const platform::File& file, std::uint64_t listEnd,
                                 std::uint64_t fileLength);

// The first chunk with this id, if any.
std::optional<ChunkRef> FindChunk(const std::vector<ChunkRef>& chunks, FourCC id);

// Whole body of a chunk, at most maxBytes and no more than the file holds.
std::vector<std::uint8_t> ReadBody(const platform::File& file, const ChunkRef& chunk,
                                   std::uint64_t maxBytes);

// Bytes a chunk occupies, its pad byte included when the next chunk follows one.
std::uint64_t Footprint(const ChunkRef& chunk);

// The writers below raise "File write error" when a write fails, "File read error" when a
// read fails; the FORM size is left to the caller (SetFormSizeToLength).

// Replaces the chunk's body in place; a different size moves the rest of the file.
// Returns the signed change of the file length.
std::int64_t ReplaceChunkBody(platform::File& file, const ChunkRef& chunk,
                              const std::vector<std::uint8_t>& body);

// Removes the chunk with its pad byte; the rest of the file moves down. Returns the bytes removed.
std::uint64_t RemoveChunk(platform::File& file, const ChunkRef& chunk);

// Appends a chunk at the end of the file, after a pad byte when the file length is odd, so that
// a chunk of odd size before it keeps the standard layout. Returns the header position.
std::uint64_t AppendChunk(platform::File& file, FourCC id, const std::vector<std::uint8_t>& body);

// FORM size = file length − 8. Returns the file length.
std::uint64_t SetFormSizeToLength(platform::File& file);

// File length, "File read error" when it cannot be had.
std::uint64_t LengthOf(const platform::File& file);

}  // namespace pelmora::aiff
