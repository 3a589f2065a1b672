#include "sound/WavHeader.h"

#include "base/Error.h"
#include "sound/SoundInfo.h"
#include "sound/WavLayout.h"
#include "sound/WavReader.h"

namespace pelmora::wav {

WavHeaderInfo ReadHeader(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::OpenMode::Read)) throw Error(StringId::FileReadError);
    const FormatAndData layout = LocateFormatAndData(file, StringId::AudioDataError, true);

    WavHeaderInfo info;
    info.channels = layout.fmt.channels;
    info.sampleRate = layout.fmt.sampleRate;
    info.bitsPerSample = layout.fmt.bitsPerSample;
    info.bytesPerSample = BytesPerSampleFor(info.bitsPerSample);
    info.blockAlign = static_cast<std::uint16_t>(info.channels * info.bytesPerSample);
    info.frames = layout.data.size / info.blockAlign;
    info.dataOffset = layout.data.dataOffset;

    SampleLoopChunk smpl;
    if (ReadSampleLoop(file, smpl) == ChunkRead::Present && !smpl.loops.empty()) {
        info.loopOn = smpl.loopOn ? 1 : 0;
        info.loopStart = smpl.firstLoop.start;
        info.loopEnd = smpl.firstLoop.endPlusOne;
    }
    return info;
}

}  // namespace pelmora::wav
