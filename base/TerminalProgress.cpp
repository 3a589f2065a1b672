#include "base/TerminalProgress.h"

#include <algorithm>

#include "platform/Interrupt.h"

namespace pelmora {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

TerminalProgress::TerminalProgress(bool draw, std::FILE* out) : draw_(draw), out_(out) {}

void TerminalProgress::ShowStatus(StringId status) {
    status_ = Text(status);
    filled_ = -1;
    Redraw();
}

void TerminalProgress::ShowPercent(int percent) {
    percent_ = percent;
    Redraw();
}

void TerminalProgress::ShowBar(std::uint64_t position, std::uint32_t range) {
    int filled = range == 0 ? 0
                            : static_cast<int>(std::min<std::uint64_t>(position, range) * kBarWidth /
                                               range);
    if (filled == filled_) return;  // only the visible bar is redrawn
    filled_ = filled;
    Redraw();
}

void TerminalProgress::Redraw() {
    if (!draw_) return;
    std::string line = status_ + " " + FormatText(StringId::PercentFormat, percent_) + " [";
    int filled = filled_ < 0 ? 0 : filled_;
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    line += "]";
    std::string padding;
    if (line.size() < drawnWidth_) padding.assign(drawnWidth_ - line.size(), ' ');
    std::fprintf(out_, "\r%s%s", line.c_str(), padding.c_str());
    std::fflush(out_);
    drawnWidth_ = line.size();
}

void TerminalProgress::Hide() {
    if (!draw_ || drawnWidth_ == 0) return;
    std::fprintf(out_, "\r%s\r", std::string(drawnWidth_, ' ').c_str());
    std::fflush(out_);
    drawnWidth_ = 0;
}

bool TerminalProgress::EscapeDown() { return platform::InterruptPending(); }

void TerminalProgress::ConsumeEscape() { platform::ClearInterrupt(); }

}  // namespace pelmora
