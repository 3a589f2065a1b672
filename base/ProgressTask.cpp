#include "base/ProgressTask.h"

namespace pelmora {

int ProgressPercent(std::uint64_t position, std::uint64_t total) {
    if (total == 0) return 100;
    return static_cast<int>(static_cast<double>(position) * 100.0 / static_cast<double>(total));
}

void ProgressTask::Start(StringId status) {
    if (active_) Hide();
    active_ = true;
    status_ = status;
    escapeState_ = false;
    lastPercent_ = 0;
    range_ = 0;
    position_ = 0;
    ShowStatus(status);
    ShowPercent(0);
}

void ProgressTask::SetRange(std::uint32_t blocks) {
    range_ = blocks;
    if (active_) ShowBar(position_, range_);
}

bool ProgressTask::Step(std::uint64_t position, std::uint64_t total) {
    if (!active_) return false;
    position_ = position;
    ShowBar(position_, range_);
    int percent = ProgressPercent(position, total);
    if (percent != lastPercent_) {
        lastPercent_ = percent;
        ShowPercent(percent);
    }
    escapeState_ = EscapeDown();
    return escapeState_;
}

bool ProgressTask::CancelRequested() {
    if (!escapeState_) return false;
    escapeState_ = false;
    ConsumeEscape();
    End();
    return true;
}

void ProgressTask::End() {
    if (!active_) return;
    active_ = false;
    Hide();
}

}  // namespace pelmora
