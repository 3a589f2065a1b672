#pragma once
// The one progress mechanism: a status text, a percentage and a bar, with ESC polled between
// blocks. The rules live here; a display (status bar, terminal, none) only draws.

#include <cstdint>

#include "base/StringId.h"

namespace pelmora {

class ProgressTask {
public:
    virtual ~ProgressTask() = default;

    // Shows the status text and "  0%"; forgets the last percent and the sampled ESC state.
    void Start(StringId status);
    // Number of blocks the bar spans; set right after Start.
    void SetRange(std::uint32_t blocks);
    // Moves the bar, redraws the percent only when its integer value changes, samples ESC and
    // returns whether it was down.
    bool Step(std::uint64_t position, std::uint64_t total);
    // True once per ESC press seen at the last Step: the press is consumed and the display ended.
    bool CancelRequested();
    void End();

    bool IsActive() const { return active_; }
    StringId Status() const { return status_; }
    std::uint32_t Range() const { return range_; }
    std::uint64_t Position() const { return position_; }
    int LastPercent() const { return lastPercent_; }

protected:
    virtual void ShowStatus(StringId status) = 0;
    virtual void ShowPercent(int percent) = 0;
    virtual void ShowBar(std::uint64_t position, std::uint32_t range) = 0;
    virtual void Hide() = 0;
    // Whether ESC (or what stands for it) is down now; must not consume the press.
    virtual bool EscapeDown() = 0;
    // Forgets the press so that one press cancels one operation.
    virtual void ConsumeEscape() = 0;

private:
    bool active_ = false;
    bool escapeState_ = false;
    int lastPercent_ = -1;
    std::uint32_t range_ = 0;
    std::uint64_t position_ = 0;
    StringId status_ = StringId::FileReadError;
};

// Integer percentage shown for a position: position × 100 / total, truncated; a total of 0 is 100.
int ProgressPercent(std::uint64_t position, std::uint64_t total);

}  // namespace pelmora
