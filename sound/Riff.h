#pragma once
// RIFF chunks over an open file: searching descent among siblings, even-size padding, and size
// patching on ascent for chunks created for writing. Everything read from the file is bounded:
// a chunk header must fit in its parent and in the file, and a body is never taken beyond
// what the file holds.

#include <cstddef>
#include <cstdint>

#include "platform/File.h"
#include "sound/Bytes.h"

namespace pelmora::riff {

inline constexpr std::uint32_t kHeaderBytes = 8;
inline constexpr std::uint32_t kListTypeBytes = 4;
inline constexpr FourCC kRiffId = MakeFourCC("RIFF");
inline constexpr FourCC kListId = MakeFourCC("LIST");

inline bool IsListId(FourCC id) { return id == kRiffId || id == kListId; }

struct Chunk {
    FourCC id{};
    FourCC listType{};              // "RIFF" and "LIST" chunks only
    std::uint32_t size = 0;         // as declared; for created chunks, patched on ascent
    std::uint64_t headerOffset = 0;
    std::uint64_t dataOffset = 0;   // first byte after the 8-byte header (the list type included)
    std::uint64_t limit = 0;        // where the children of this chunk must end
    std::uint64_t held = 0;         // body bytes present in the file, at most `size`
    bool created = false;

    std::uint64_t DeclaredEnd() const { return dataOffset + size; }
    std::uint64_t PaddedEnd() const { return DeclaredEnd() + (size & 1u); }
    std::uint64_t FirstChild() const { return dataOffset + kListTypeBytes; }
};

// Reading side. The cursor has a current position, as the chunk searches start from it.
class RiffReader {
public:
    explicit RiffReader(const platform::File& file);

    bool IsOpen() const { return open_; }
    std::uint64_t FileSize() const { return fileSize_; }
    std::uint64_t Position() const { return position_; }
    void Seek(std::uint64_t position) { position_ = position; }

    // The "RIFF" chunk at the current position with the given form type. A declared size of 0
    // (a header not finished yet) or one beyond the file makes the form reach the file's end.
    bool DescendForm(FourCC formType, Chunk& form);
    // Searches `id` among the children of `parent`, from the current position onwards. On
    // success the position is the body's first byte (after the list type for "LIST").
    bool Descend(const Chunk& parent, FourCC id, Chunk& found);
    bool DescendList(const Chunk& parent, FourCC listType, Chunk& found);
    // The chunk at the current position, whatever its id; false at the parent's end.
    bool DescendNext(const Chunk& parent, Chunk& found);
    // Moves past the chunk and its pad byte.
    void Ascend(const Chunk& chunk);

    // Reads from the current position within the chunk's held body; returns the bytes read
    // (fewer at the body's end), -1 on an I/O error. Advances the position.
    std::int64_t Read(const Chunk& chunk, void* buffer, std::size_t count);
    // Reads exactly `count` bytes at `offset` of the chunk's body; false when it holds fewer.
    bool ReadBody(const Chunk& chunk, std::uint64_t offset, void* buffer, std::size_t count) const;

protected:
    // The header at `position`, bounded by `limit`; false when it does not fit.
    bool HeaderAt(std::uint64_t position, std::uint64_t limit, Chunk& chunk) const;
    std::uint64_t NextSibling(const Chunk& chunk, std::uint64_t limit) const;

    const platform::File& file_;
    std::uint64_t fileSize_ = 0;
    std::uint64_t position_ = 0;
    bool open_ = false;
};

// Writing side: creates chunks at the current position and patches their sizes on ascent.
class RiffWriter : public RiffReader {
public:
    explicit RiffWriter(platform::File& file);

    bool CreateForm(FourCC formType, Chunk& form) { return CreateList(kRiffId, formType, form); }
    bool CreateList(FourCC listId, FourCC listType, Chunk& list);
    bool CreateChunk(FourCC id, Chunk& chunk);
    bool Write(const void* buffer, std::size_t count);
    // A created chunk gets its size (position − body start) written back and a pad byte when
    // odd; any chunk is then left behind its pad byte.
    bool Ascend(Chunk& chunk);

private:
    platform::File& writable_;
};

// Whether a plausible chunk header (printable id, size within `limit`) starts at `position`.
bool LooksLikeHeader(const platform::File& file, std::uint64_t position, std::uint64_t limit);

// Where the sibling after `chunk` starts: after its pad byte when the size is odd. Files that
// left out the pad byte are accepted too: a non-zero "pad" that begins a sound chunk header
// (within `limit`, which must not pass the file's end) is taken as the next chunk's id.
std::uint64_t NextChunkOffset(const platform::File& file, const Chunk& chunk,
                              std::uint64_t limit);

}  // namespace pelmora::riff
