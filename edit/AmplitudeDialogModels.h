#pragma once
// The Normalize and DC Offset dialogs without widgets. Their values stay for the life of the
// process.

#include <cstdint>
#include <string>

#include "edit/DcOffset.h"

namespace pelmora {

// What pressing OK leads to.
enum class DialogVerdict {
    Accepted,           // process with the values
    CorrectedStayOpen,  // a value was limited and written back; the dialog stays open
    Rejected            // the text is not a number: it is selected and the dialog stays open
};

class NormalizeDialogModel {
public:
    static constexpr int kMinRate = 70;
    static constexpr int kMaxRate = 110;

    int Rate() const { return rate_; }
    int SliderPosition() const { return rate_; }
    void MoveSlider(int position);
    // A rate typed into the edit moves the slider when it is a whole number within 70 … 110;
    // false otherwise, and then only OK decides what becomes of the text.
    bool CommitRateText(const std::string& rateText);
    // OK with the rate edit's text: a value outside 70 … 110 is limited and written back.
    DialogVerdict Ok(const std::string& rateText);

private:
    int rate_ = 100;
};

class DcOffsetDialogModel {
public:
    static constexpr std::size_t kValueChars = 8;

    DcOffsetMode Mode() const { return mode_; }
    void SetMode(DcOffsetMode mode) { mode_ = mode; }
    // The value edit takes input only with "Specify Offset Value".
    bool ValueEnabled() const { return mode_ == DcOffsetMode::Specify; }
    std::int64_t Value() const { return value_; }
    // OK: with "Specify Offset Value" the edit's text must be a signed whole number of at most
    // eight characters; the sound's limits apply when it is added.
    DialogVerdict Ok(const std::string& valueText);

private:
    DcOffsetMode mode_ = DcOffsetMode::Auto;
    std::int64_t value_ = 0;
};

}  // namespace pelmora
