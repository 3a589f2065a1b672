#pragma once
// The pelmora-cli command line: options and commands in order, each command with its fixed
// number of arguments, so the line splits without separators.

#include <optional>
#include <string>
#include <vector>

namespace pelmora::cli {

struct Step {
    bool isOption = false;
    std::string name;               // "open", or "--workdir"
    std::vector<std::string> args;  // exactly the arity of the command or option
};

struct ParseResult {
    std::vector<Step> steps;
    std::string usageError;  // empty when the line is valid
};

// Number of arguments a command takes, or nullopt for an unknown command.
std::optional<int> CommandArity(const std::string& name);

ParseResult ParseCommandLine(const std::vector<std::string>& words);

const char* UsageText();

}  // namespace pelmora::cli
