#pragma once
// The Time Comp/Exp dialog without widgets: the slider, the percent edit and the modified
// length, kept in step. It opens at 100 % every time.

#include <cstdint>
#include <string>

#include "edit/AmplitudeDialogModels.h"

namespace pelmora {

// The edit that has the focus when OK is pressed.
enum class TimeField { None, Percent, Modified };

class TimeDialogModel {
public:
    static constexpr int kSliderMin = 75;
    static constexpr int kSliderMax = 125;
    static constexpr int kSliderPage = 2;
    static constexpr std::size_t kPercentLength = 3;
    static constexpr std::size_t kModifiedLength = 10;

    // Opening for a selection of `original` frames: 100 %, modified = original.
    void Open(std::uint32_t original);

    std::uint32_t Original() const { return original_; }
    std::uint32_t Modified() const { return modified_; }
    int Percent() const { return percent_; }
    int SliderPosition() const { return percent_; }
    std::string PercentText() const { return std::to_string(percent_); }
    std::string ModifiedText() const { return std::to_string(modified_); }

    void MoveSlider(int position);
    // Rejected when the text is not a whole number of at most 3 characters; CorrectedStayOpen
    // when it was limited to 75 … 125 and written back.
    DialogVerdict CommitPercentText(const std::string& text);
    // Rejected when the text is not a whole number of at most 10 characters; CorrectedStayOpen
    // when it was limited to 0.75 … 1.25 × the original and written back.
    DialogVerdict CommitModifiedText(const std::string& text);
    DialogVerdict Ok(TimeField focus, const std::string& text);

private:
    void SetPercent(int percent);

    std::uint32_t original_ = 0;
    std::uint32_t modified_ = 0;
    int percent_ = 100;
};

}  // namespace pelmora
