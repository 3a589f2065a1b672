#include "cli/Commands.h"

#include "cli/CliSession.h"

namespace pelmora::cli {

const std::vector<CommandSpec>& CommandTable() {
    static const std::vector<CommandSpec> table = [] {
        std::vector<CommandSpec> t;
        // AppendSoundCommands(t);
        return t;
    }();
    return table;
}

const CommandSpec* FindCommand(const std::string& name) {
    for (const CommandSpec& c : CommandTable())
        if (name == c.name) return &c;
    return nullptr;
}

OpenSound& CliSession::Current() {
    if (sounds_.empty()) throw CommandFailure("no document is open");
    return *sounds_.back();
}

}  // namespace pelmora::cli
