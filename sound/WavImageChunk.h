#pragma once
// Placing the stored waveform image: an "Appl" chunk whose body begins with the signature
// "QMV0" (or the older "QMS0") followed by "WFrm". Application chunks of other programs stay.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/File.h"
#include "sound/Riff.h"
#include "sound/SoundInfo.h"

namespace pelmora::wav {

struct ImageChunkPlace {
    riff::Chunk chunk;
    std::uint64_t bodyOffset = 0;
    std::uint64_t bodySize = 0;  // the bytes the file holds
};

// The first image chunk of the WAVE form, if any.
std::optional<ImageChunkPlace> FindImageChunk(const platform::File& file);

// Removes any image chunk (the bytes after it move down, the file is shortened), appends a new
// "Appl" chunk with `body` at the end and sets the RIFF size. Updates the data offset, data end
// and working file length of `info`. Raises "File write error" when a write fails.
void StoreImageChunk(platform::File& file, SoundInfo& info, const std::vector<std::uint8_t>& body);

}  // namespace pelmora::wav
