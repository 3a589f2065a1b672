#include "edit/EqDialogModel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "edit/DialogNumbers.h"

namespace pelmora {

namespace {

bool IsWord(const std::string& text, const char* word) {
    std::string t;
    for (char c : text)
        if (c != ' ' && c != '\t') t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return t == word;
}

// A typed whole number: a decimal is cut to its integer part.
std::optional<std::int32_t> TypedInteger(const std::string& text) {
    const std::optional<double> value = ParseDecimalNumber(text);
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(std::clamp(std::trunc(*value), -1e9, 1e9));
}

}  // namespace

EqGraphScale::EqGraphScale(int width, int height, std::uint32_t sampleRate)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      decades_(std::max(1.0, std::log10(EqFrequencyLimit(sampleRate) / kLowFrequency))) {}

double EqGraphScale::XOf(double frequency) const {
    return width_ * std::log10(std::max(frequency, 1.0) / kLowFrequency) / decades_;
}

double EqGraphScale::FrequencyAt(double x) const { return kLowFrequency * std::pow(10.0, x * decades_ / width_); }

double EqGraphScale::YOf(double db) const { return height_ * (0.5 - db / kRangeDb); }

void EqDialogModel::Open(std::uint32_t sampleRate) {
    sampleRate_ = sampleRate;
    bands_ = remembered_;
    for (int i = kEqLow; i <= kEqHigh; ++i) ValidateEqBand(bands_, i, sampleRate_);
    dragging_ = false;
}

std::string EqDialogModel::Text(int band, EqField field) const {
    const EqBand& b = bands_[static_cast<std::size_t>(band)];
    switch (field) {
    case EqField::Gain: {
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", b.gain);
        return text;
    }
    case EqField::Frequency: return std::to_string(b.frequency);
    case EqField::Q:
        if (b.type == EqBandType::LowShelf) return "LSF";
        if (b.type == EqBandType::HighShelf) return "HSF";
        return std::to_string(b.q);
    }
    return {};
}

EqTexts EqDialogModel::Texts() const {
    EqTexts texts;
    for (int band = 0; band < 3; ++band)
        for (EqField field : {EqField::Gain, EqField::Frequency, EqField::Q})
            texts[static_cast<std::size_t>(band)][static_cast<std::size_t>(field)] = Text(band, field);
    return texts;
}

bool EqDialogModel::Take(EqBand& band, int index, EqField field, const std::string& text) const {
    if (text.size() > kEditChars) return false;
    if (field == EqField::Gain) {
        const std::optional<double> value = ParseDecimalNumber(text);
        if (!value) return false;
        band.gain = *value;
        return true;
    }
    if (field == EqField::Q && ((index == kEqLow && IsWord(text, "LSF")) || (index == kEqHigh && IsWord(text, "HSF")))) {
        band.q = 0;
        return true;
    }
    const std::optional<std::int32_t> value = TypedInteger(text);
    if (!value) return false;
    (field == EqField::Q ? band.q : band.frequency) = *value;
    return true;
}

bool EqDialogModel::Commit(int band, EqField field, const std::string& text) {
    EqBand taken = bands_[static_cast<std::size_t>(band)];
    if (!Take(taken, band, field, text)) return false;
    bands_[static_cast<std::size_t>(band)] = taken;
    ValidateEqBand(bands_, band, sampleRate_);
    return true;
}

void EqDialogModel::Reset() {
    bands_ = InitialEqBands();
    for (int i = kEqLow; i <= kEqHigh; ++i) ValidateEqBand(bands_, i, sampleRate_);
}

DialogVerdict EqDialogModel::Ok(const EqTexts& texts, Edit* rejected) {
    EqBands taken = bands_;
    for (int band = 0; band < 3; ++band) {
        for (EqField field : {EqField::Gain, EqField::Frequency, EqField::Q}) {
            const std::string& text = texts[static_cast<std::size_t>(band)][static_cast<std::size_t>(field)];
            if (!Take(taken[static_cast<std::size_t>(band)], band, field, text)) {
                if (rejected) *rejected = {band, field};
                return DialogVerdict::Rejected;
            }
        }
    }
    bool corrected = false;
    for (int i = kEqLow; i <= kEqHigh; ++i) corrected = ValidateEqBand(taken, i, sampleRate_) || corrected;
    bands_ = taken;
    if (corrected) return DialogVerdict::CorrectedStayOpen;
    remembered_ = bands_;
    return DialogVerdict::Accepted;
}

void EqDialogModel::SelectBand(int band) { current_ = std::clamp(band, static_cast<int>(kEqLow), static_cast<int>(kEqHigh)); }

void EqDialogModel::Press(double x, double y) {
    const EqBand& band = bands_[static_cast<std::size_t>(current_)];
    dragging_ = true;
    moves_ = 0;
    lastX_ = x;
    lastY_ = y;
    dragGain_ = band.gain;
    dragFrequency_ = band.frequency;
    // From the middle of the step, so that a small wobble does not change Q.
    dragQ_ = band.q + 0.5;
}

bool EqDialogModel::Move(double x, double y, EqDragKind kind, const EqGraphScale& scale) {
    if (!dragging_ || ++moves_ % kMovesPerStep != 0) return false;
    const double dx = x - lastX_, dy = lastY_ - y;
    lastX_ = x;
    lastY_ = y;
    EqBand& band = bands_[static_cast<std::size_t>(current_)];
    if (kind == EqDragKind::GainAndFrequency || kind == EqDragKind::GainOnly) {
        dragGain_ = std::clamp(dragGain_ + dy * EqGraphScale::kRangeDb / scale.Height(), -kEqMaxGain, kEqMaxGain);
        band.gain = dragGain_;
    }
    if (kind == EqDragKind::GainAndFrequency || kind == EqDragKind::FrequencyOnly) {
        const EqFrequencyRange range = EqFrequencyRangeOf(bands_, current_, sampleRate_);
        dragFrequency_ = std::max(dragFrequency_, 1.0) * std::pow(10.0, dx * scale.Decades() / scale.Width());
        dragFrequency_ = std::clamp(dragFrequency_, static_cast<double>(range.min), static_cast<double>(range.max));
        band.frequency = static_cast<std::int32_t>(std::lround(dragFrequency_));
    }
    if (kind == EqDragKind::QOnly) {
        const double lowest = current_ == kEqMid ? 1.0 : 0.0;
        dragQ_ = std::clamp(dragQ_ + dy * kQPerHeight / scale.Height(), lowest, kEqMaxQ + 0.999);
        band.q = static_cast<std::int32_t>(dragQ_);
    }
    ValidateEqBand(bands_, current_, sampleRate_);
    return true;
}

}  // namespace pelmora
