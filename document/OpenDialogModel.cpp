#include "document/OpenDialogModel.h"

#include "base/Error.h"
#include "sound/SoundFileCheck.h"
#include "sound/SoundSummary.h"
#include "sound/WavExtensible.h"

namespace pelmora {

std::optional<SoundHeader> ReadOpenPanelHeader(const std::string& path) {
    try {
        return ReadSoundHeader(path);
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::string OpenPanelText(const std::string& path) {
    const std::optional<SoundHeader> h = ReadOpenPanelHeader(path);
    if (!h) return std::string();
    return FormatSoundSummary(h->rate, h->bits, h->channels, h->frames, h->blockAlign, h->loopShown,
                              h->type == FileType::Wav ? SummaryKind::Wav : SummaryKind::Aiff);
}

void CheckChosenSoundFile(const std::string& path) {
    SoundHeader h;
    try {
        h = ReadSoundHeader(path);
    } catch (const Error& e) {
        // An extensible header that cannot be opened says why; other faults are the panel's.
        if (wav::IsExtensibleRefusal(e.Id())) throw;
    }
    CheckHeaderAgainstLength(h);
}

}  // namespace pelmora
