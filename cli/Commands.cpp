#include "cli/Commands.h"

namespace pelmora::cli {

const std::vector<CommandSpec>& CommandTable() {
    static const std::vector<CommandSpec> table = [] {
        std::vector<CommandSpec> t;
        AppendDocumentCommands(t);
        return t;
    }();
    return table;
}

const CommandSpec* FindCommand(const std::string& name) {
    for (const CommandSpec& c : CommandTable())
        if (name == c.name) return &c;
    return nullptr;
}

}  // namespace pelmora::cli
