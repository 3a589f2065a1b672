#pragma once
// Progress on standard error: status text, percent and a bar, redrawn in place.
// Ctrl-C stands for ESC.

#include <cstdio>
#include <string>

#include "base/ProgressTask.h"

namespace pelmora {

class TerminalProgress : public ProgressTask {
public:
    // draw = false keeps the display silent (--quiet, or standard error is not a terminal)
    // while Ctrl-C still counts as ESC.
    explicit TerminalProgress(bool draw, std::FILE* out = stderr);

protected:
    void ShowStatus(StringId status) override;
    void ShowPercent(int percent) override;
    void ShowBar(std::uint64_t position, std::uint32_t range) override;
    void Hide() override;
    bool EscapeDown() override;
    void ConsumeEscape() override;

private:
    void Redraw();

    bool draw_;
    std::FILE* out_;
    std::string status_;
    int percent_ = 0;
    int filled_ = -1;
    std::size_t drawnWidth_ = 0;
};

}  // namespace pelmora
