#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace pelmora {

namespace {

struct Word {
    std::string text;
    bool quoted = false;
};

std::vector<Word> SplitWords(const std::string& line) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        Word word;
        bool inQuotes = false;
        for (; i < line.size() && (inQuotes || (line[i] != ' ' && line[i] != '\t')); ++i) {
            if (line[i] == '"') {
                inQuotes = !inQuotes;
                word.quoted = true;
            } else {
                word.text += line[i];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool IsSwitch(const Word& word) {
    if (word.quoted || word.text.size() < 2) return false;
    if (word.text[0] == '-') return true;
    return word.text[0] == '/' && std::all_of(word.text.begin() + 1, word.text.end(), [](unsigned char c) {
               return std::isalpha(c) != 0;
           });
}

bool IsWindowsWord(const std::string& text) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "windows";
}

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        // An argument the shell kept whole despite its blanks was quoted there: quoted again,
        // it stays one word, and switches after it stay switches.
        const bool quoted = argument.find_first_of(" \t") != std::string::npos && argument.find('"') == std::string::npos;
        line += quoted ? '"' + argument + '"' : argument;
    }
    return line;
}

CommandLine ParseCommandLine(const std::string& line) {
    CommandLine result;
    std::vector<std::string> parameters;
    for (const Word& word : SplitWords(line)) {
        if (!IsSwitch(word)) {
            parameters.push_back(word.text);
            continue;
        }
        const std::string name = word.text.substr(1);
        if (name == "b" || name == "B") result.fileBackup = false;
        if (name == "m" || name == "M") result.displayFlag = true;
    }
    if (parameters.empty()) return result;

    if (parameters.size() >= 3 && IsWindowsWord(parameters[0])) {
        result.devices = SoundDevicesByName{parameters[1], parameters[2]};
        if (parameters.size() > 3) result.file = parameters[3];
        return result;
    }
    const std::string trimmed = TrimBlanks(line);
    result.file = trimmed.front() == '"' ? parameters[0] : trimmed;
    return result;
}

}  // namespace pelmora
