#include "cli/CommandLine.h"

#include <map>

#include "cli/Commands.h"

namespace pelmora::cli {

namespace {

const std::map<std::string, int>& Options() {
    static const std::map<std::string, int> options = {
        {"--workdir", 1}, {"--no-backup", 0}, {"--yes", 0}, {"--quiet", 0}};
    return options;
}

}  // namespace

std::optional<int> CommandArity(const std::string& name) {
    const CommandSpec* command = FindCommand(name);
    if (!command) return std::nullopt;
    return command->arity;
}

ParseResult ParseCommandLine(const std::vector<std::string>& words) {
    ParseResult result;
    for (std::size_t i = 0; i < words.size();) {
        const std::string& word = words[i];
        Step step;
        step.name = word;
        int arity;
        if (auto option = Options().find(word); option != Options().end()) {
            step.isOption = true;
            arity = option->second;
        } else if (auto command = CommandArity(word)) {
            arity = *command;
        } else {
            result.usageError = "unknown command: " + word;
            return result;
        }
        if (words.size() - i - 1 < static_cast<std::size_t>(arity)) {
            result.usageError = word + " needs " + std::to_string(arity) + " argument(s)";
            return result;
        }
        step.args.assign(words.begin() + static_cast<long>(i) + 1,
                         words.begin() + static_cast<long>(i) + 1 + arity);
        i += 1 + static_cast<std::size_t>(arity);
        result.steps.push_back(std::move(step));
    }
    bool anyCommand = false;
    for (const Step& s : result.steps) anyCommand = anyCommand || !s.isOption;
    if (!anyCommand) result.usageError = "no command given";
    return result;
}

const char* UsageText() {
    return "usage: pelmora-cli [--workdir DIR] [--no-backup] [--yes] [--quiet] COMMAND [ARG...] "
           "[COMMAND [ARG...]]...\n"
           "Commands run in order on the current document; pelmora-cli --help lists them.\n";
}

}  // namespace pelmora::cli
