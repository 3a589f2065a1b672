#pragma once
// The document's calls into the WAV and AIFF readers and writers, chosen by file type.

#include <string>

#include "base/ProgressTask.h"
#include "platform/File.h"
#include "sound/SoundInfo.h"

namespace pelmora {

struct ReadOutcome {
    bool hdMisaligned = false;  // AIFF data not aligned for HD Play
};

// Fills `info` from the sound file at `path` of the given type.
ReadOutcome ReadSoundFile(const std::string& path, FileType type, SoundInfo& info);

// Rewrites the header of the file at `path` for the length and format in `info`.
void RefreshHeaderOf(const std::string& path, SoundInfo& info);

// Writes the loop and instrument chunks of `info` into the file (of info's type) in place.
void WriteLoopAndInstrument(const std::string& path, SoundInfo& info);

// Writes the sound of `source` (described by `info`) as a complete new file of the other type
// at `target`, with its loop, instrument data and markers.
void WriteInOtherType(const std::string& source, const SoundInfo& info,
                      const std::string& target, ProgressTask& progress, StringId status,
                      bool cancellable);

// The same into an open, empty file; returns the new file's data offset.
std::uint32_t WriteOtherTypeInto(const platform::File& source, const SoundInfo& info, platform::File& target,
                                 ProgressTask& progress, StringId status, bool cancellable);

// The type a file name asks for: ".wav" WAV, ".aif"/".aiff" AIFF (any case); otherwise `fallback`.
// A WAV file whose 'fmt ' is the extensible form holding plain PCM (the other extensible forms
// are refused by the header check before this is asked).
bool HasExtensiblePcmHeader(const std::string& path);
// Rewrites that 'fmt ' in place as a 16-byte PCM chunk.
void RewriteExtensibleHeader(const std::string& path);

FileType TypeForExtension(const std::string& path, FileType fallback);

}  // namespace pelmora
