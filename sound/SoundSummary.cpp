#include "sound/SoundSummary.h"

#include "base/StringId.h"
#include "sound/TimeMath.h"

namespace pelmora {

namespace {

StringId SummaryFormat(SummaryKind kind, bool loop) {
    switch (kind) {
    case SummaryKind::Wav: return loop ? StringId::SummaryWavLoop : StringId::SummaryWavNoLoop;
    case SummaryKind::Aiff: return loop ? StringId::SummaryAiffLoop : StringId::SummaryAiffNoLoop;
    case SummaryKind::Instrument:
        return loop ? StringId::SummaryInstrumentLoop : StringId::SummaryInstrumentNoLoop;
    }
    return StringId::SummaryWavNoLoop;
}

}  // namespace

std::string FormatSoundSummary(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels,
                               std::uint32_t frames, std::uint16_t blockAlign, bool loopShown,
                               SummaryKind kind) {
    const char* channelWord = Text(channels == 1 ? StringId::ChannelsMono : StringId::ChannelsStereo);
    const std::string length = FormatLength(rate, frames);
    const auto bytes = static_cast<unsigned long long>(blockAlign) * frames;
    return FormatText(SummaryFormat(kind, loopShown), rate, static_cast<int>(bits), channelWord,
                      length.c_str(), static_cast<unsigned long long>(frames), bytes);
}

}  // namespace pelmora
