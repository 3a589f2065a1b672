#pragma once
// Locating the chunks of a WAV file: the format and the sample data, and any chunk by id.

#include <cstdint>
#include <optional>

#include "base/StringId.h"
#include "platform/File.h"
#include "sound/Riff.h"
#include "sound/SoundInfo.h"
#include "sound/WavChunks.h"

namespace pelmora::wav {

struct FormatAndData {
    FmtFields fmt;
    riff::Chunk fmtChunk;
    riff::Chunk data;
    std::uint64_t fileLength = 0;
};

// The 'fmt ' chunk and the 'data' chunk after it. `missing` is the message for a file without
// the WAVE form, 'fmt ' or 'data'; a short 'fmt ' gives "File read error", and a format other
// than integer PCM of 1 to 32 bits "Unknown Wave PCM format...". With `extensiblePcm` an
// extensible 'fmt ' holding plain PCM passes too (any other is refused with its reason): the
// header-only reader lets such a file on to the question whether to open it.
FormatAndData LocateFormatAndData(const platform::File& file, StringId missing, bool extensiblePcm = false);

// The first chunk with this id in the WAVE form; nothing when there is none or no form.
std::optional<riff::Chunk> FindInForm(const platform::File& file, FourCC id);

// After an odd-sized 'data' chunk that is followed by another chunk without a pad byte (as
// older files have it), inserts the pad so that the chunks after it sit at even offsets.
void EnsureDataPad(platform::File& file);

// Takes the data offset, data end and working file length of `info` from the file as it is
// now (after chunks before the data were moved). Raises "Data error" without 'data'.
void TakeDataPosition(const platform::File& file, SoundInfo& info);

}  // namespace pelmora::wav
