#include "mp3/Mp3OptionsModel.h"

#include <algorithm>

#include "base/StringId.h"

namespace pelmora {

std::string FormatLine(const codec::EncoderFormat& format) {
    const char* mode = Text(format.channelMode == 1 ? StringId::ChannelsMono : StringId::ChannelsStereo);
    return FormatText(StringId::Mp3FormatLine, static_cast<int>(format.bitRate / 1000),
                      format.sampleRate * 0.001, mode);
}

std::vector<std::string> QualityLines() {
    return {Text(StringId::QualityFast), Text(StringId::QualityMedium),
            Text(StringId::QualityHighest)};
}

Mp3OptionsModel::Mp3OptionsModel(std::uint32_t sampleRate, int channels)
    : sampleRate_(sampleRate), channels_(channels) {
    SetQuality(0);
}

bool Mp3OptionsModel::SetQuality(int quality) {
    choice_.quality = std::clamp(quality, 0, codec::kQualityCount - 1);
    auto encoder = codec::Mp3Encoder::Open(sampleRate_, channels_, choice_.quality);
    if (!encoder) return false;
    const std::string kept = selected_ >= 0 ? lines_[static_cast<std::size_t>(selected_)] : std::string();
    lines_.clear();
    records_.clear();
    const auto& formats = encoder->Formats();
    for (std::size_t i = 0; i < formats.size(); ++i) {
        lines_.push_back(FormatLine(formats[i]));
        records_.push_back(static_cast<int>(i));
    }
    const auto same = std::find(lines_.begin(), lines_.end(), kept);
    SelectLine(same == lines_.end() ? 0 : static_cast<int>(same - lines_.begin()));
    return true;
}

void Mp3OptionsModel::SelectLine(int line) {
    if (line < 0 || line >= static_cast<int>(lines_.size())) return;
    selected_ = line;
    choice_.formatIndex = records_[static_cast<std::size_t>(line)];
}

}  // namespace pelmora
