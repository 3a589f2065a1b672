#pragma once
// The Pitch Shift dialog without widgets: the slider, the rate edit (percent) and the cents
// edit, kept in step. The rate text and the cents stay for the life of the process.

#include <string>

#include "edit/AmplitudeDialogModels.h"

namespace pelmora {

// The edit that has the focus when OK is pressed.
enum class PitchField { None, Rate, Cents };

class PitchDialogModel {
public:
    static constexpr int kSliderMin = 75;
    static constexpr int kSliderMax = 125;
    static constexpr int kSliderPage = 5;
    static constexpr int kCentsMax = 386;   // 125 %
    static constexpr int kCentsMin = -498;  // 75 %
    static constexpr std::size_t kEditLength = 8;

    // Opening: the remembered texts, the slider at the integer part of the rate.
    void Open();

    double Rate() const { return rate_; }  // percent, what the processing uses
    int Cents() const { return cents_; }
    int SliderPosition() const { return slider_; }
    const std::string& RateText() const { return rateText_; }
    std::string CentsText() const { return std::to_string(cents_); }

    void MoveSlider(int position);
    // Rejected when the text is not a number of at most 8 characters; CorrectedStayOpen when
    // the rate was limited to 75.0 … 125.0 and written back.
    DialogVerdict CommitRateText(const std::string& text);
    // Rejected when the text is not a whole number of at most 8 characters; CorrectedStayOpen
    // when it was limited to −498 … 386 and written back.
    DialogVerdict CommitCentsText(const std::string& text);
    // OK: commits the focused edit's text.
    DialogVerdict Ok(PitchField focus, const std::string& text);

private:
    void FollowRate(double rate);

    std::string rateText_ = "100.0";
    double rate_ = 100.0;
    int cents_ = 0;
    int slider_ = 100;
};

// 1200 × log2(rate / 100), rounded half away from zero.
int CentsForRate(double ratePercent);
// 100 × 2^(cents / 1200).
double RateForCents(int cents);

}  // namespace pelmora
