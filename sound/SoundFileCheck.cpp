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

FileType PreCheckSoundFile(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::OpenMode::Read)) {
        throw Error(platform::FileExists(path) ? StringId::FileReadError : StringId::FileNotFound);
    }
    const FileType type = IdentifySoundFile(file);
    const std::int64_t length = file.Size();
    file.Close();
    if (type == FileType::Wav) {
        const wav::WavHeaderInfo h = wav::ReadHeader(path);
        CheckHeaderAgainstLength(h.sampleRate, h.frames, h.blockAlign, length);
    } else {
        const aiff::AiffHeaderInfo h = aiff::ReadHeader(path);
        CheckHeaderAgainstLength(h.sampleRate, h.frames, h.blockAlign, length);
    }
    return type;
}

}  // namespace pelmora
