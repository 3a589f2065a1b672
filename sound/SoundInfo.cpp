#include "sound/SoundInfo.h"

namespace pelmora {

void UpdateDerivedFormat(SoundInfo& info) {
    info.bytesPerSample = BytesPerSampleFor(info.bitsPerSample);
    info.blockAlign = static_cast<std::uint16_t>(info.channels * info.bytesPerSample);
    info.dataEnd = static_cast<std::uint32_t>(info.dataOffset + DataBytes(info));
    info.littleEndian = info.fileType == FileType::Wav;
    info.unsigned8Bit = info.fileType == FileType::Wav && info.bytesPerSample == 1;
}

void ClampLoop(SoundInfo& info) {
    if (info.loopStart > info.frames) info.loopStart = info.frames;
    if (info.loopEnd > info.frames) info.loopEnd = info.frames;
    if (info.loopStart > info.loopEnd) {
        info.loopStart = 0;
        info.loopEnd = info.frames;
    }
}

}  // namespace pelmora
