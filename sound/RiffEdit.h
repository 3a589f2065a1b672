#pragma once
// In-place changes to the chunk layout of a RIFF file: removing a chunk, appending at an even
// offset, and keeping the outer size in step with the file. Failures raise Error.

#include <cstdint>

#include "platform/File.h"
#include "sound/Riff.h"

namespace pelmora::riff {

// The file's length; raises "File read error" when it cannot be read.
std::uint64_t LengthOf(const platform::File& file);

// Removes the chunk with its pad byte: the bytes after it move down, the file is shortened.
void RemoveChunk(platform::File& file, const Chunk& chunk);

// Inserts `count` bytes at `position` (the bytes from there on move up); the gap is zeroed.
void InsertGap(platform::File& file, std::uint64_t position, std::uint64_t count);

// The offset where a new chunk can be appended: the file's end, after a pad byte when the
// file's length is odd, so that the new chunk starts at an even offset.
std::uint64_t EvenEnd(platform::File& file);

// Writes the outer chunk's size as the file's length − 8.
void SetFormSize(platform::File& file);

}  // namespace pelmora::riff
