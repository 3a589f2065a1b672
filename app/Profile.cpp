#include "app/Profile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace pelmora {

namespace {

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

}  // namespace

std::string Profile::DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.config";
    }
    return base + "/Pelmora/Pelmora.ini";
}

void Profile::Load() {
    sections_.clear();
    std::ifstream in(path_);
    std::string line, section;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        // The key keeps a trailing blank of its own ("Time Ruler :Time "); leading ones are indent.
        std::string key = line.substr(0, eq);
        key.erase(0, key.find_first_not_of(" \t"));
        if (Trim(key).empty()) continue;
        sections_[section][Trim(key)] = Entry{key, Trim(line.substr(eq + 1))};
    }
}

bool Profile::Save() const {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
    const std::string partial = path_ + ".new";
    {
        std::ofstream out(partial, std::ios::trunc);
        for (const auto& [section, keys] : sections_) {
            out << '[' << section << "]\n";
            for (const auto& [lookup, entry] : keys) out << entry.key << '=' << entry.value << '\n';
            out << '\n';
        }
        if (!out.flush()) return false;
    }
    std::filesystem::rename(partial, path_, ignored);
    return !ignored;
}

std::optional<std::string> Profile::GetString(const std::string& section,
                                              const std::string& key) const {
    auto s = sections_.find(section);
    if (s == sections_.end()) return std::nullopt;
    auto k = s->second.find(Trim(key));
    if (k == s->second.end()) return std::nullopt;
    return k->second.value;
}

int Profile::GetInt(const std::string& section, const std::string& key, int fallback) const {
    auto text = GetString(section, key);
    if (!text || text->empty()) return fallback;
    char* end = nullptr;
    const long value = std::strtol(text->c_str(), &end, 10);
    return (end && *end == '\0') ? static_cast<int>(value) : fallback;
}

void Profile::SetString(const std::string& section, const std::string& key,
                        const std::string& value) {
    sections_[section][Trim(key)] = Entry{key, value};
}

void Profile::SetInt(const std::string& section, const std::string& key, int value) {
    SetString(section, key, std::to_string(value));
}

}  // namespace pelmora
