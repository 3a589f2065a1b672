#include "edit/GainDialogModel.h"

#include <cmath>
#include <cstdio>

#include "edit/DialogNumbers.h"

namespace pelmora {

double GainLevelForRate(int rate) {
    return rate <= 0 ? GainDialogModel::kSilentLevel : 20.0 * std::log10(rate / 100.0);
}

int GainRateForLevel(double level) {
    return static_cast<int>(std::pow(10.0, level * 0.05) * 100 + 0.5);
}

std::string GainDialogModel::RateText() const { return std::to_string(rate_); }

std::string GainDialogModel::LevelText() const {
    if (level_ < -40.0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", level_);
    return text;
}

void GainDialogModel::SetRate(int rate) {
    rate_ = rate < 1 ? 0 : rate > kSliderMax ? kSliderMax : rate;
    level_ = GainLevelForRate(rate_);
}

void GainDialogModel::MoveSlider(int position) { SetRate(position); }

bool GainDialogModel::CommitRateText(const std::string& text) {
    const std::optional<long long> value = ParseWholeNumber(text);
    if (!value) return false;
    SetRate(*value < 1 ? 0 : *value > kSliderMax ? kSliderMax : static_cast<int>(*value));
    return true;
}

bool GainDialogModel::CommitLevelText(const std::string& text) {
    if (IsBlank(text)) {
        level_ = kSilentLevel;
        rate_ = GainRateForLevel(level_);
        return true;
    }
    const std::optional<double> value = ParseDecimalNumber(text);
    if (!value) return false;
    if (*value > 20.0 * std::log10(2.0)) {
        level_ = kMaxLevel;
        rate_ = kSliderMax;
        return true;
    }
    level_ = *value;
    rate_ = GainRateForLevel(level_);
    return true;
}

std::optional<int> GainDialogModel::Ok(GainField focus, const std::string& text) {
    if (focus == GainField::Rate && !CommitRateText(text)) return std::nullopt;
    if (focus == GainField::Level && !CommitLevelText(text)) return std::nullopt;
    return rate_;
}

}  // namespace pelmora
