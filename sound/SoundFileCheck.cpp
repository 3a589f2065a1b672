#include "sound/SoundFileCheck.h"

#include <filesystem>

#include "base/Error.h"
#include "platform/File.h"
#include "sound/AiffHeader.h"
#include "sound/Identify.h"
#include "sound/WavHeader.h"

namespace pelmora {

void CheckHeaderAgainstLength(const SoundHeader& header) {
    const std::uint64_t dataBytes = static_cast<std::uint64_t>(header.frames) * header.blockAlign;
    if (header.rate == 0 || header.fileLength < 0) throw Error(StringId::AudioDataError);
    const auto length = static_cast<std::uint64_t>(header.fileLength);
    if (dataBytes >= length || header.dataOffset > length - dataBytes)
        throw Error(StringId::AudioDataError);
}

SoundHeader ReadSoundHeader(const std::string& path) {
    // Opening a pipe or a device could block for ever or disturb it.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw Error(StringId::UnknownSoundFileFormat);
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
        h = {h.type,       w.sampleRate, w.bitsPerSample, w.channels, w.frames, w.blockAlign,
             w.dataOffset, w.loopOn != 0 && w.loopStart < w.loopEnd, h.fileLength};
    } else {
        const aiff::AiffHeaderInfo a = aiff::ReadHeader(path);
        if (a.foundComm && a.channels != 1 && a.channels != 2)
            throw Error(StringId::UnknownSoundFileFormat);
        h = {h.type,       a.sampleRate, a.bitsPerSample, a.channels, a.frames, a.blockAlign,
             a.dataOffset, a.loopPlayMode != 0 && a.loopStart < a.loopEnd, h.fileLength};
    }
    return h;
}

FileType PreCheckSoundFile(const std::string& path) {
    const SoundHeader h = ReadSoundHeader(path);
    CheckHeaderAgainstLength(h);
    return h.type;
}

}  // namespace pelmora
