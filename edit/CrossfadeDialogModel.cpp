#include "edit/CrossfadeDialogModel.h"

#include <algorithm>

#include "edit/DialogNumbers.h"

namespace pelmora {

void CrossfadeDialogModel::Open(const SoundInfo& info) {
    const CrossfadeMaxima now = CrossfadeMaximaFor(info);
    if (now.sustain != maxima_.sustain) sustain_ = now.sustain;
    if (now.release != maxima_.release) release_ = now.release;
    maxima_ = now;
    sustain_ = std::clamp(sustain_, 0, maxima_.sustain);
    release_ = std::clamp(release_, 0, maxima_.release);
}

void CrossfadeDialogModel::SetSustainPercent(long long percent) {
    sustain_ = static_cast<int>(std::clamp<long long>(percent, 0, maxima_.sustain));
}

void CrossfadeDialogModel::SetReleasePercent(long long percent) {
    release_ = static_cast<int>(std::clamp<long long>(percent, 0, maxima_.release));
}

bool CrossfadeDialogModel::CommitSustainText(const std::string& text) {
    const std::optional<long long> value = ParseWholeNumber(text);
    if (!value) return false;
    SetSustainPercent(*value);
    return true;
}

bool CrossfadeDialogModel::CommitReleaseText(const std::string& text) {
    const std::optional<long long> value = ParseWholeNumber(text);
    if (!value) return false;
    SetReleasePercent(*value);
    return true;
}

}  // namespace pelmora
