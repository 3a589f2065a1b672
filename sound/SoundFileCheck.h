#pragma once
// The check made before a sound is opened: the file exists, is a WAV or AIFF file, and its
// header agrees with its length.

#include <string>

#include "sound/FileType.h"

namespace pelmora {

// Returns the file's type, or raises "File not found.", "Unknown sound file format...", the
// header reader's own messages, or "Audio data error - cannot open this file.".
FileType PreCheckSoundFile(const std::string& path);

}  // namespace pelmora
