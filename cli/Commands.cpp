#include "cli/Commands.h"

namespace pelmora::cli {

const std::vector<CommandSpec>& CommandTable() {
    static const std::vector<CommandSpec> table = [] {
        std::vector<CommandSpec> t;
        AppendDocumentCommands(t);
        AppendNewCommand(t);
        AppendEditCommands(t);
        AppendImageCommands(t);
        AppendAmplitudeCommands(t);
        AppendSamplerCommands(t);
        AppendTransportCommands(t);
        AppendMp3Commands(t);
        AppendEqCommands(t);
        AppendPitchTimeCommands(t);
        AppendConversionCommands(t);
        return t;
    }();
    return table;
}

const CommandSpec* FindCommand(const std::string& name) {
    for (const CommandSpec& c : CommandTable())
        if (name == c.name) return &c;
    return nullptr;
}

long long ParseInteger(const std::string& text, const char* what, long long min, long long max) {
    std::size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(text, &used, 10);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < min || value > max)
        throw UsageError(std::string(what) + " must be a whole number from " + std::to_string(min) +
                         " to " + std::to_string(max) + ": " + text);
    return value;
}

int ParseChoice(const std::string& text, const char* what,
                std::initializer_list<const char*> words) {
    int index = 0;
    std::string list;
    for (const char* word : words) {
        if (text == word) return index;
        list += (index ? "/" : "") + std::string(word);
        ++index;
    }
    throw UsageError(std::string(what) + " must be one of " + list + ": " + text);
}

}  // namespace pelmora::cli
