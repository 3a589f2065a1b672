#pragma once

#include <string>
#include <vector>

namespace pelmora::cli {

class CliSession;
using Args = std::vector<std::string>;

struct CommandSpec {
    const char* name;
    int arity;
    void (*run)(CliSession& session, const Args& args);
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

void AppendDocumentCommands(std::vector<CommandSpec>& table);

}  // namespace pelmora::cli
