#include "sound/Identify.h"

#include <cstring>

#include "base/Error.h"
#include "sound/FileRead.h"

namespace pelmora {

FileType IdentifySoundFile(const platform::File& file) {
    unsigned char head[12];
    if (ReadHeld(file, 0, head, sizeof head)) {
        if (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0)
            return FileType::Wav;
        if (std::memcmp(head, "FORM", 4) == 0 && std::memcmp(head + 8, "AIFF", 4) == 0)
            return FileType::Aiff;
    }
    throw Error(StringId::UnknownSoundFileFormat);
}

}  // namespace pelmora
