#pragma once
// The Sampling Rate Conversion dialog without widgets: the FIR order and rejection steps and the
// rate edit with its limits. Nothing is remembered between openings.

#include <cstdint>
#include <string>

#include "edit/AmplitudeDialogModels.h"
#include "edit/Resample.h"

namespace pelmora {

class ResampleDialogModel {
public:
    static constexpr int kMinOrder = 5;
    static constexpr int kMaxOrder = 1025;
    static constexpr int kMinRejection = -100;
    static constexpr std::uint32_t kMinRate = 11025;
    static constexpr std::uint32_t kMaxRate = 48000;
    static constexpr std::size_t kRateLength = 5;

    // Order 5, rejection −30 dB, the document's rate.
    void Open(std::uint32_t currentRate);

    int Order() const { return order_; }
    int Rejection() const { return rejection_; }
    std::uint32_t Rate() const { return rate_; }
    std::uint32_t CurrentRate() const { return currentRate_; }
    std::string OrderText() const { return std::to_string(order_); }
    std::string RejectionText() const { return std::to_string(rejection_); }
    std::string RateText() const { return std::to_string(rate_); }
    ResampleSettings Settings() const { return {order_, rejection_, rate_}; }

    void OrderDown();
    void OrderUp();
    void RejectionDown();
    void RejectionUp();

    // OK with the rate edit's text: CorrectedStayOpen when the value was limited to 11025 …
    // 48000 or the text was not exactly the number (the value is written back); otherwise
    // Accepted. SameRate() then tells whether there is nothing to do.
    DialogVerdict Ok(const std::string& rateText);
    bool SameRate() const { return rate_ == currentRate_; }

    // Whether a value is one of the dialog's steps (for the command line).
    static bool IsOrderStep(long long order);
    static bool IsRejectionStep(long long rejection);

private:
    int order_ = kMinOrder;
    int rejection_ = -30;
    std::uint32_t rate_ = 44100;
    std::uint32_t currentRate_ = 44100;
};

}  // namespace pelmora
