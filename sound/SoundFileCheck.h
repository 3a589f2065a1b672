#pragma once
// The check made before a sound is opened: the file exists, is a WAV or AIFF file, and its
// header agrees with its length.

#include <cstdint>
#include <string>

#include "sound/FileType.h"

namespace pelmora {

// What the header-only readers of either type tell of a sound file.
struct SoundHeader {
    FileType type = FileType::Wav;
    std::uint32_t rate = 0;
    std::uint16_t bits = 0;
    std::uint16_t channels = 0;
    std::uint32_t frames = 0;
    std::uint16_t blockAlign = 0;
    std::uint64_t dataOffset = 0;  // 0 when the header names no data
    bool loopShown = false;  // a loop that plays
    std::int64_t fileLength = 0;
};

// Raises "File not found.", "File read error", "Unknown sound file format..." (also for
// anything but a regular file, and for an AIFF of other than one or two channels) or the header
// reader's own messages.
SoundHeader ReadSoundHeader(const std::string& path);

// Returns the file's type, or raises "File not found.", "Unknown sound file format...", the
// header reader's own messages, or "Audio data error - cannot open this file.".
FileType PreCheckSoundFile(const std::string& path);

// The header's agreement with the file: a rate, and data that lies inside the file. Raises
// "Audio data error - cannot open this file." otherwise.
void CheckHeaderAgainstLength(const SoundHeader& header);

}  // namespace pelmora
