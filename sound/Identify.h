#pragma once

#include <string>

#include "platform/File.h"
#include "sound/FileType.h"

namespace pelmora {

// Identifies a sound file by its first 12 bytes: "RIFF"…"WAVE" or "FORM"…"AIFF".
// Raises "Unknown sound file format.\nCan't open the file." for anything else.
FileType IdentifySoundFile(const platform::File& file);

}  // namespace pelmora
