#pragma once
// A progress display that draws nothing. Tests script an ESC press at a chosen step; the
// command line uses it with --quiet and when standard error is not a terminal.

#include <cstdint>
#include <vector>

#include "base/ProgressTask.h"

namespace pelmora {

class SilentProgress : public ProgressTask {
public:
    // ESC goes down at the given Step call (1-based, counted over the life of this object)
    // and stays down until consumed.
    void PressEscapeAtStep(std::uint64_t stepNumber) { pressAt_ = stepNumber; }
    void PressEscapeNow() { escapeDown_ = true; }

    std::uint64_t Steps() const { return steps_; }
    int Starts() const { return starts_; }
    int Ends() const { return ends_; }
    const std::vector<int>& PercentsShown() const { return percents_; }
    const std::vector<StringId>& StatusesShown() const { return statuses_; }

protected:
    void ShowStatus(StringId status) override {
        ++starts_;
        statuses_.push_back(status);
    }
    void ShowPercent(int percent) override { percents_.push_back(percent); }
    void ShowBar(std::uint64_t, std::uint32_t) override {}
    void Hide() override { ++ends_; }
    bool EscapeDown() override {
        ++steps_;
        if (pressAt_ != 0 && steps_ == pressAt_) escapeDown_ = true;
        return escapeDown_;
    }
    void ConsumeEscape() override { escapeDown_ = false; }

private:
    std::uint64_t pressAt_ = 0;
    std::uint64_t steps_ = 0;
    bool escapeDown_ = false;
    int starts_ = 0;
    int ends_ = 0;
    std::vector<int> percents_;
    std::vector<StringId> statuses_;
};

}  // namespace pelmora
