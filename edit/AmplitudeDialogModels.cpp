#include "edit/AmplitudeDialogModels.h"

#include <algorithm>

#include "edit/DialogNumbers.h"

namespace pelmora {

void NormalizeDialogModel::MoveSlider(int position) { rate_ = std::clamp(position, kMinRate, kMaxRate); }

bool NormalizeDialogModel::CommitRateText(const std::string& rateText) {
    const std::optional<long long> value = ParseWholeNumber(rateText);
    if (!value || *value < kMinRate || *value > kMaxRate) return false;
    rate_ = static_cast<int>(*value);
    return true;
}

DialogVerdict NormalizeDialogModel::Ok(const std::string& rateText) {
    const std::optional<long long> value = ParseWholeNumber(rateText);
    if (!value) return DialogVerdict::Rejected;
    if (*value < kMinRate || *value > kMaxRate) {
        rate_ = static_cast<int>(std::clamp<long long>(*value, kMinRate, kMaxRate));
        return DialogVerdict::CorrectedStayOpen;
    }
    rate_ = static_cast<int>(*value);
    return DialogVerdict::Accepted;
}

DialogVerdict DcOffsetDialogModel::Ok(const std::string& valueText) {
    if (!ValueEnabled()) return DialogVerdict::Accepted;
    const std::optional<long long> value = ParseWholeNumber(valueText);
    if (!value || valueText.size() > kValueChars) return DialogVerdict::Rejected;
    value_ = *value;
    return DialogVerdict::Accepted;
}

}  // namespace pelmora
