// The header-only AIFF reader on arbitrary bytes: it may refuse, never crash or overread.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "base/Error.h"
#include "sound/AiffHeader.h"
#include "sound/SoundFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = pelmora::fuzz::InputAsFile(data, size);
    try {
        const auto info = pelmora::aiff::ReadHeader(path);
        pelmora::SoundHeader header;
        header.rate = info.sampleRate;
        header.frames = info.frames;
        header.blockAlign = info.blockAlign;
        header.dataOffset = info.dataOffset;
        header.fileLength = static_cast<std::int64_t>(size);
        pelmora::CheckHeaderAgainstLength(header);
    } catch (const pelmora::Error&) {
    }
    return 0;
}
