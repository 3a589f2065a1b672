#pragma once
// What pelmora-cli keeps between commands: the prompter and progress display the core reports
// through, and the application state with its documents.

#include <string>

#include "app/ApplicationState.h"
#include "base/TerminalProgress.h"
#include "cli/TerminalPrompter.h"

namespace pelmora::cli {

class CliSession {
public:
    explicit CliSession(bool drawProgress);

    TerminalPrompter& Prompter() { return prompter_; }
    ProgressTask& Progress() { return progress_; }
    ApplicationState& App() { return app_; }

    // The working directory: --workdir before the first command sets it at start-up; a later
    // --workdir moves the temporary files there.
    void SetWorkDir(const std::string& dir);
    // Start-up, done before the first command: working directory and clip file.
    void StartUp();

    // The document commands work on; fails when none is open.
    COLMDoc& Current();
    // Closes every document without saving; each one with unsaved changes is named on
    // standard error.
    void CloseAll();

private:
    TerminalPrompter prompter_;
    TerminalProgress progress_;
    ApplicationState app_;
    std::string requestedWorkDir_;
    bool started_ = false;
};

}  // namespace pelmora::cli
