#include "document/OpenDialogModel.h"

#include <filesystem>

#include "base/Error.h"
#include "platform/File.h"
#include "sound/AiffHeader.h"
#include "sound/Identify.h"
#include "sound/SoundFileCheck.h"
#include "sound/SoundSummary.h"
#include "sound/WavHeader.h"

namespace pelmora {

std::optional<OpenPanelHeader> ReadOpenPanelHeader(const std::string& path) {
    // Only regular files: opening a pipe or a device to peek at it could block or disturb it.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    try {
        platform::File file;
        if (!file.Open(path, platform::OpenMode::Read)) return std::nullopt;
        OpenPanelHeader h;
        h.type = IdentifySoundFile(file);
        h.fileLength = file.Size();
        file.Close();
        if (h.type == FileType::Wav) {
            const wav::WavHeaderInfo w = wav::ReadHeader(path);
            h.rate = w.sampleRate;
            h.bits = w.bitsPerSample;
            h.channels = w.channels;
            h.frames = w.frames;
            h.blockAlign = w.blockAlign;
            h.loopShown = w.loopOn != 0 && w.loopStart < w.loopEnd;
        } else {
            const aiff::AiffHeaderInfo a = aiff::ReadHeader(path);
            h.rate = a.sampleRate;
            h.bits = a.bitsPerSample;
            h.channels = a.channels;
            h.frames = a.frames;
            h.blockAlign = a.blockAlign;
            h.loopShown = a.loopPlayMode != 0 && a.loopStart < a.loopEnd;
        }
        return h;
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::string OpenPanelText(const std::string& path) {
    const std::optional<OpenPanelHeader> h = ReadOpenPanelHeader(path);
    if (!h) return std::string();
    return FormatSoundSummary(h->rate, h->bits, h->channels, h->frames, h->blockAlign, h->loopShown,
                              h->type == FileType::Wav ? SummaryKind::Wav : SummaryKind::Aiff);
}

void CheckChosenSoundFile(const std::string& path) {
    const OpenPanelHeader h = ReadOpenPanelHeader(path).value_or(OpenPanelHeader{});
    CheckHeaderAgainstLength(h.rate, h.frames, h.blockAlign, h.fileLength);
}

}  // namespace pelmora
