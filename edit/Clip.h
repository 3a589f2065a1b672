#pragma once
// The clip: raw frames of the last Copy or Cut in the application's clip file, with the format
// they came in. One per application, shared by every document.

#include <cstdint>
#include <string>

#include "sound/FileType.h"

namespace pelmora {

struct ClipInfo {
    bool valid = false;
    FileType fileType = FileType::Wav;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bytesPerSample = 0;
    std::uint16_t frameSize = 0;
    std::uint32_t frameCount = 0;
};

struct Clip {
    std::string path;
    ClipInfo info;
};

}  // namespace pelmora
