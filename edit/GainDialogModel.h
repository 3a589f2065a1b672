#pragma once
// The Gain dialog without widgets: the slider, the rate edit and the dB edit, kept in step
// with each other. The values stay for the life of the process.

#include <optional>
#include <string>

namespace pelmora {

// The edit that has the focus when OK is pressed.
enum class GainField { None, Rate, Level };

class GainDialogModel {
public:
    static constexpr int kSliderMax = 200;
    static constexpr int kSliderPage = 10;
    static constexpr double kSilentLevel = -100.0;
    static constexpr double kMaxLevel = 6.0206;  // 20 × log10(2), rate 200

    int Rate() const { return rate_; }
    double Level() const { return level_; }
    int SliderPosition() const { return rate_; }
    std::string RateText() const;
    // "%.2f", or empty below −40 dB.
    std::string LevelText() const;

    void MoveSlider(int position);
    // False when the text is not a whole number (it stays selected, the dialog open).
    bool CommitRateText(const std::string& text);
    // False when the text is not a number (it stays selected, the dialog open).
    bool CommitLevelText(const std::string& text);
    // OK: commits the focused edit's text; the rate to process with, or nullopt to stay open.
    std::optional<int> Ok(GainField focus, const std::string& text);

private:
    void SetRate(int rate);

    int rate_ = 100;
    double level_ = 0.0;
};

// The level of a rate: 20 × log10(rate / 100), −100 dB for 0.
double GainLevelForRate(int rate);
// The rate of a typed level (at most kMaxLevel): integer part of 10^(level × 0.05) × 100 + 0.5.
int GainRateForLevel(double level);

}  // namespace pelmora
