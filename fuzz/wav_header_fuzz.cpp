// The header-only WAV reader on arbitrary bytes: refusals are fine, crashes and overreads not.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "base/Error.h"
#include "sound/WavHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = pelmora::fuzz::InputAsFile(data, size);
    try {
        const pelmora::wav::WavHeaderInfo info = pelmora::wav::ReadHeader(path);
        if (info.blockAlign == 0) __builtin_trap();
    } catch (const pelmora::Error&) {
    }
    return 0;
}
