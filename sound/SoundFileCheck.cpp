#include "sound/SoundFileCheck.h"

#include "base/Error.h"
#include "platform/File.h"
#include "sound/AiffHeader.h"
#include "sound/Identify.h"
#include "sound/WavHeader.h"

namespace pelmora {

void CheckHeaderAgainstLength(std::uint32_t rate, std::uint32_t frames, std::uint16_t blockAlign,
                              std::int64_t fileLength) {
    const std::uint64_t dataBytes = static_cast<std::uint64_t>(frames) * blockAlign;
    if (rate == 0 || fileLength < 0 || dataBytes >= static_cast<std::uint64_t>(fileLength))
        throw Error(StringId::AudioDataError);
}

SoundHeader ReadSoundHeader(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::OpenMode::Read)) {
        throw Error(platform::FileExists(path) ? StringId::FileReadError : StringId::FileNotFound);
    }
    SoundHeader h;
    h.type = IdentifySoundFile(file);
    h.fileLength = file.Size();
    file.Close();
    if (h.type == FileType::Wav) {
        const wav::WavHeaderInfo w = wav::ReadHeader(path);
        h = {h.type, w.sampleRate, w.bitsPerSample, w.channels, w.frames, w.blockAlign,
             w.loopOn != 0 && w.loopStart < w.loopEnd, h.fileLength};
    } else {
        const aiff::AiffHeaderInfo a = aiff::ReadHeader(path);
        h = {h.type, a.sampleRate, a.bitsPerSample, a.channels, a.frames, a.blockAlign,
             a.loopPlayMode != 0 && a.loopStart < a.loopEnd, h.fileLength};
    }
    return h;
}

FileType PreCheckSoundFile(const std::string& path) {
    const SoundHeader h = ReadSoundHeader(path);
    CheckHeaderAgainstLength(h.rate, h.frames, h.blockAlign, h.fileLength);
    return h.type;
}

}  // namespace pelmora
