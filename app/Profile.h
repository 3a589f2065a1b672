#pragma once
// The application's profile: an INI file with the program's own section and key names
// ("[OLM App]", "Work Dir="). Read whole at start, written whole at exit.

#include <map>
#include <optional>
#include <string>

namespace pelmora {

class Profile {
public:
    // $XDG_CONFIG_HOME/Pelmora/Pelmora.ini, or ~/.config/Pelmora/Pelmora.ini.
    static std::string DefaultPath();

    explicit Profile(std::string path) : path_(std::move(path)) {}
    // A missing file is an empty profile; unreadable lines are skipped.
    void Load();
    // Writes to a new file and renames it over the old one. False when it cannot be written.
    bool Save() const;

    std::optional<std::string> GetString(const std::string& section, const std::string& key) const;
    int GetInt(const std::string& section, const std::string& key, int fallback) const;
    void SetString(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& section, const std::string& key, int value);

private:
    std::string path_;
    std::map<std::string, std::map<std::string, std::string>> sections_;
};

}  // namespace pelmora
