#pragma once
// The application's profile: an INI file with the program's own section and key names
// ("[OLM App]", "Work Dir="). Read whole at start, written whole at exit. Key names are written
// as they stand, trailing blanks and "/" included.

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
    // A key as written (some end in a blank) with its value; looked up by the key without the
    // blanks around it, so a hand-edited "Work Dir = x" reads too.
    struct Entry {
        std::string key;
        std::string value;
    };
    std::string path_;
    std::map<std::string, std::map<std::string, Entry>> sections_;
};

}  // namespace pelmora
