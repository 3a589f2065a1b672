#include "edit/PitchDialogModel.h"

#include <cmath>
#include <cstdio>

#include "edit/DialogNumbers.h"

namespace pelmora {

namespace {

std::string Format(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

int CentsForRate(double ratePercent) {
    const double cents = 1200 * std::log10(ratePercent * 0.01) / std::log10(2.0);
    return static_cast<int>(ratePercent > 100 ? cents + 0.5 : cents - 0.5);
}

double RateForCents(int cents) { return 100 * std::pow(2.0, cents / 1200.0); }

void PitchDialogModel::Open() {
    const std::optional<double> rate = ParseDecimalNumber(rateText_);
    rate_ = rate ? *rate : 100.0;
    slider_ = static_cast<int>(rate_);
}

void PitchDialogModel::FollowRate(double rate) {
    rate_ = rate;
    cents_ = CentsForRate(rate);
    slider_ = static_cast<int>(rate);
}

void PitchDialogModel::MoveSlider(int position) {
    position = position < kSliderMin ? kSliderMin : position > kSliderMax ? kSliderMax : position;
    FollowRate(position);
    rateText_ = Format("%4.1f", rate_);
}

DialogVerdict PitchDialogModel::CommitRateText(const std::string& text) {
    const std::optional<double> value = text.size() <= kEditLength ? ParseDecimalNumber(text) : std::nullopt;
    if (!value) return DialogVerdict::Rejected;
    if (*value < kSliderMin || *value > kSliderMax) {
        const bool low = *value < kSliderMin;
        FollowRate(low ? kSliderMin : kSliderMax);
        rateText_ = Format(low ? "%4.1f" : "%5.1f", rate_);
        return DialogVerdict::CorrectedStayOpen;
    }
    FollowRate(*value);
    rateText_ = text;
    return DialogVerdict::Accepted;
}

DialogVerdict PitchDialogModel::CommitCentsText(const std::string& text) {
    const std::optional<long long> value = text.size() <= kEditLength ? ParseWholeNumber(text) : std::nullopt;
    if (!value) return DialogVerdict::Rejected;
    DialogVerdict verdict = DialogVerdict::Accepted;
    if (*value >= kCentsMax) {
        cents_ = kCentsMax;
        rate_ = kSliderMax;
        if (*value > kCentsMax) verdict = DialogVerdict::CorrectedStayOpen;
    } else if (*value < kCentsMin + 1) {
        cents_ = kCentsMin;
        rate_ = kSliderMin;
        if (*value < kCentsMin) verdict = DialogVerdict::CorrectedStayOpen;
    } else {
        cents_ = static_cast<int>(*value);
        rate_ = RateForCents(cents_);
    }
    rateText_ = Format(rate_ > 100 ? "%8.4f" : rate_ == 100 ? "%5.1f" : "%8.5f", rate_);
    slider_ = static_cast<int>(rate_);
    return verdict;
}

DialogVerdict PitchDialogModel::Ok(PitchField focus, const std::string& text) {
    if (focus == PitchField::Rate) return CommitRateText(text);
    if (focus == PitchField::Cents) return CommitCentsText(text);
    return DialogVerdict::Accepted;
}

}  // namespace pelmora
