#pragma once
// What pelmora-cli keeps between commands: its options, the prompter and progress display the
// core reports through, and the open sounds with the current one.

#include <memory>
#include <string>
#include <vector>

#include "base/TerminalProgress.h"
#include "cli/TerminalPrompter.h"
#include "sound/SoundInfo.h"

namespace pelmora::cli {

struct OpenSound {
    std::string path;
    SoundInfo info;
};

class CliSession {
public:
    explicit CliSession(bool drawProgress) : progress_(drawProgress) {}

    TerminalPrompter& Prompter() { return prompter_; }
    ProgressTask& Progress() { return progress_; }

    std::string workDir;
    bool fileBackup = true;

    // The sound that commands work on; raises a usage-like failure when none is open.
    OpenSound& Current();
    void Add(OpenSound sound) { sounds_.push_back(std::make_unique<OpenSound>(std::move(sound))); }
    void CloseAll() { sounds_.clear(); }

private:
    TerminalPrompter prompter_;
    TerminalProgress progress_;
    std::vector<std::unique_ptr<OpenSound>> sounds_;
};

}  // namespace pelmora::cli
