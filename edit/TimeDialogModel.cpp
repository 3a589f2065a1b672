#include "edit/TimeDialogModel.h"

#include <cmath>

#include "edit/DialogNumbers.h"
#include "edit/TimeCompExp.h"

namespace pelmora {

void TimeDialogModel::Open(std::uint32_t original) {
    original_ = original;
    modified_ = original;
    percent_ = 100;
}

void TimeDialogModel::SetPercent(int percent) {
    percent_ = percent < kSliderMin ? kSliderMin : percent > kSliderMax ? kSliderMax : percent;
    modified_ = static_cast<std::uint32_t>(original_ * static_cast<double>(percent_) * 0.01);
}

void TimeDialogModel::MoveSlider(int position) { SetPercent(position); }

DialogVerdict TimeDialogModel::CommitPercentText(const std::string& text) {
    const std::optional<long long> value = text.size() <= kPercentLength ? ParseWholeNumber(text) : std::nullopt;
    if (!value) return DialogVerdict::Rejected;
    const bool inside = *value >= kSliderMin && *value <= kSliderMax;
    SetPercent(*value < kSliderMin ? kSliderMin : *value > kSliderMax ? kSliderMax : static_cast<int>(*value));
    return inside ? DialogVerdict::Accepted : DialogVerdict::CorrectedStayOpen;
}

DialogVerdict TimeDialogModel::CommitModifiedText(const std::string& text) {
    const std::optional<long long> value = text.size() <= kModifiedLength ? ParseWholeNumber(text) : std::nullopt;
    if (!value) return DialogVerdict::Rejected;
    const TimeLengthLimits limits = TimeLengthLimitsFor(original_);
    const bool inside = *value >= limits.min && *value <= limits.max;
    modified_ = *value < limits.min ? limits.min : *value > limits.max ? limits.max : static_cast<std::uint32_t>(*value);
    percent_ = original_ == 0 ? 100 : static_cast<int>(std::lround(static_cast<double>(modified_) / original_ * 100));
    return inside ? DialogVerdict::Accepted : DialogVerdict::CorrectedStayOpen;
}

DialogVerdict TimeDialogModel::Ok(TimeField focus, const std::string& text) {
    if (focus == TimeField::Percent) return CommitPercentText(text);
    if (focus == TimeField::Modified) return CommitModifiedText(text);
    return DialogVerdict::Accepted;
}

}  // namespace pelmora
