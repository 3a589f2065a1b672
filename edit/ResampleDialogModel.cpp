#include "edit/ResampleDialogModel.h"

#include <algorithm>

#include "edit/DialogNumbers.h"

namespace pelmora {

void ResampleDialogModel::Open(std::uint32_t currentRate) {
    order_ = kMinOrder;
    rejection_ = -30;
    rate_ = currentRate_ = currentRate;
}

void ResampleDialogModel::OrderDown() {
    if (order_ > kMinOrder) order_ = (order_ - 1) / 2 + 1;
}

void ResampleDialogModel::OrderUp() {
    if (order_ < kMaxOrder) order_ = 2 * order_ - 1;
}

void ResampleDialogModel::RejectionDown() {
    if (rejection_ > kMinRejection) rejection_ -= 10;
}

void ResampleDialogModel::RejectionUp() {
    if (rejection_ < 0) rejection_ += 10;
}

DialogVerdict ResampleDialogModel::Ok(const std::string& rateText) {
    // Text that is no number reads as 0, which the lower limit then corrects.
    const long long value = rateText.size() <= kRateLength ? ParseWholeNumber(rateText).value_or(0) : 0;
    const long long limited = std::clamp<long long>(value, kMinRate, kMaxRate);
    rate_ = static_cast<std::uint32_t>(limited);
    return limited == value && rateText == RateText() ? DialogVerdict::Accepted : DialogVerdict::CorrectedStayOpen;
}

bool ResampleDialogModel::IsOrderStep(long long order) {
    for (long long n = kMinOrder; n <= kMaxOrder; n = 2 * n - 1)
        if (n == order) return true;
    return false;
}

bool ResampleDialogModel::IsRejectionStep(long long rejection) {
    return rejection <= 0 && rejection >= kMinRejection && rejection % 10 == 0;
}

}  // namespace pelmora
