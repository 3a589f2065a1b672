#pragma once

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

namespace pelmora::cli {

class CliSession;
using Args = std::vector<std::string>;

struct CommandSpec {
    const char* name;
    int arity;
    void (*run)(CliSession& session, const Args& args);
    const char* args = "";     // the arguments as --help shows them: "START END on|off"
    const char* help = "";     // one line of meaning
    const char* details = "";  // more for `help COMMAND`: limits, what a failure means
};

// Every command of pelmora-cli, each subsystem's commands from its own file.
const std::vector<CommandSpec>& CommandTable();
const CommandSpec* FindCommand(const std::string& name);

// A failure of the command line itself rather than of the core (exit status 1, its text shown).
class CommandFailure : public std::exception {
public:
    explicit CommandFailure(std::string text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

// A dialog's check message, shown as its text alone.
class DialogMessage : public CommandFailure {
public:
    using CommandFailure::CommandFailure;
};

// An argument that is not what the command takes (exit status 2).
class UsageError : public CommandFailure {
public:
    using CommandFailure::CommandFailure;
};

// Arguments: a whole number within [min, max], or one of the words given.
long long ParseInteger(const std::string& text, const char* what, long long min, long long max);
int ParseChoice(const std::string& text, const char* what, std::initializer_list<const char*> words);

void AppendDocumentCommands(std::vector<CommandSpec>& table);
void AppendNewCommand(std::vector<CommandSpec>& table);
void AppendEditCommands(std::vector<CommandSpec>& table);
void AppendImageCommands(std::vector<CommandSpec>& table);
void AppendAmplitudeCommands(std::vector<CommandSpec>& table);
void AppendSamplerCommands(std::vector<CommandSpec>& table);
void AppendTransportCommands(std::vector<CommandSpec>& table);
void AppendMp3Commands(std::vector<CommandSpec>& table);
void AppendEqCommands(std::vector<CommandSpec>& table);
void AppendPitchTimeCommands(std::vector<CommandSpec>& table);
void AppendConversionCommands(std::vector<CommandSpec>& table);

// Handles the engine's messages while a sound plays or records, for at most `limit`; Ctrl-C
// stops the sound. True when the time ran out with the sound still running.
bool RunEngineFor(CliSession& session, std::chrono::steady_clock::duration limit);
// The commands the editor leaves enabled while a sound plays or records.
bool AllowedWhileSoundRuns(const std::string& command);

}  // namespace pelmora::cli
