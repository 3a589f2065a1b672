#pragma once
// Questions and messages on standard error, answered from the --yes option.

#include <cstdio>

#include "base/Prompter.h"

namespace pelmora::cli {

class TerminalPrompter : public Prompter {
public:
    explicit TerminalPrompter(std::FILE* out = stderr) : out_(out) {}
    void SetAnswerYes(bool yes) { yes_ = yes; }

    void Message(const std::string& text) override;
    // With --yes: OK or Yes; without: Cancel, or No where there is no Cancel.
    Answer Ask(const std::string& text, Buttons buttons) override;

private:
    std::FILE* out_;
    bool yes_ = false;
};

}  // namespace pelmora::cli
