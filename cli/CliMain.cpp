#include "cli/CliMain.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>
#include <unistd.h>

#include "base/Error.h"
#include "cli/CliSession.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Help.h"
#include "platform/Interrupt.h"

namespace pelmora::cli {

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

void ApplyOption(CliSession& session, const Step& step) {
    if (step.name == "--workdir") {
        // A mistyped folder would otherwise quietly become the current one.
        std::error_code error;
        if (!std::filesystem::is_directory(step.args[0], error))
            throw UsageError("not a folder: " + step.args[0]);
        session.SetWorkDir(step.args[0]);
    }
    else if (step.name == "--no-backup") session.App().fileBackup = false;
    else if (step.name == "--yes") session.Prompter().SetAnswerYes(true);
}

// Runs one command; returns its exit status (a failure's message is on standard error).
int RunCommand(CliSession& session, const Step& step) {
    try {
        session.StartUp();
        if (session.App().audio.Active() && !AllowedWhileSoundRuns(step.name))
            throw CommandFailure("disabled while a sound plays or records");
        FindCommand(step.name)->run(session, step.args);
        return 0;
    } catch (const Error& e) {
        session.Prompter().Message(e.Message());
    } catch (const Cancelled&) {
        std::fprintf(stderr, "%s: cancelled\n", step.name.c_str());
    } catch (const DialogMessage& e) {
        session.Prompter().Message(e.what());
    } catch (const UsageError& e) {
        std::fprintf(stderr, "%s: %s\n", step.name.c_str(), e.what());
        return kExitUsage;
    } catch (const CommandFailure& e) {
        std::fprintf(stderr, "%s: %s\n", step.name.c_str(), e.what());
    }
    return kExitFailed;
}

// --help, help [COMMAND], --version and --bash-completion answer alone, before any start-up.
std::optional<int> AnswerAboutItself(const std::vector<std::string>& words) {
    if (words.empty()) return std::nullopt;
    const std::string& first = words[0];
    if ((first == "--help" || first == "-h" || first == "help") && words.size() == 1) {
        PrintHelp(stdout);
        return 0;
    }
    if (first == "help" && words.size() == 2) {
        if (PrintCommandHelp(stdout, words[1])) return 0;
        std::fprintf(stderr, "pelmora-cli: unknown command: %s\n", words[1].c_str());
        return kExitUsage;
    }
    if (first == "--version" && words.size() == 1) {
        PrintVersion(stdout);
        return 0;
    }
    if (first == "--bash-completion" && words.size() == 1) {
        PrintBashCompletion(stdout);
        return 0;
    }
    return std::nullopt;
}

}  // namespace

int RunCli(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (const std::optional<int> answered = AnswerAboutItself(words)) return *answered;
    const ParseResult parsed = ParseCommandLine(words);
    if (!parsed.usageError.empty()) {
        std::fprintf(stderr, "pelmora-cli: %s\n%s", parsed.usageError.c_str(), UsageText());
        return kExitUsage;
    }
    bool quiet = false;
    for (const Step& s : parsed.steps) quiet = quiet || s.name == "--quiet";

    platform::InstallInterruptHandler();
    CliSession session(!quiet && ::isatty(STDERR_FILENO));
    int status = 0;
    for (const Step& step : parsed.steps) {
        if (step.isOption) {
            try {
                ApplyOption(session, step);
            } catch (const UsageError& e) {
                std::fprintf(stderr, "%s: %s\n", step.name.c_str(), e.what());
                status = kExitUsage;
                break;
            } catch (const Error& e) {
                session.Prompter().Message(e.Message());
                status = kExitFailed;
                break;
            }
            continue;
        }
        status = RunCommand(session, step);
        session.App().RefreshManifest();  // what a crash from here on would leave
        if (status != 0) break;
        std::fflush(stdout);
        // Ctrl-C during an operation that cannot be cancelled stops the run after it.
        if (platform::InterruptPending()) {
            std::fprintf(stderr, "pelmora-cli: interrupted\n");
            status = kExitInterrupted;
            break;
        }
    }
    // A sound still playing or recording is waited for (Ctrl-C stops it); after a failure it
    // is stopped.
    AudioEngine& engine = session.App().audio;
    if (status != 0 && engine.Active()) engine.Stop(*engine.Active());
    while (engine.Active() && RunEngineFor(session, std::chrono::hours(1))) {
    }
    session.CloseAll();
    return status;
}

}  // namespace pelmora::cli
