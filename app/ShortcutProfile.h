#pragma once
// The shortcut records in the profile: section "OLM ShortCut", one key per record named as the
// record, value "command key flags" in decimal.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/Profile.h"
#include "app/ShortcutRecords.h"

namespace pelmora {

inline constexpr const char* kShortcutSection = "OLM ShortCut";
// A profile value longer than this is cut before it is read.
inline constexpr std::size_t kShortcutValueLimit = 255;

struct StoredShortcut {
    std::uint16_t key = 0;
    std::uint8_t flags = 0;
};

// The key and flags of a profile value: exactly three whole numbers separated by blanks (the
// first, the command id, is not used); the key is kept in 16 bits and the flags in their low 8.
// Nullopt for anything else.
std::optional<StoredShortcut> ParseShortcutValue(std::string_view value);
std::string FormatShortcutValue(const ShortcutRecord& record);

// The built-in table with the key and flags of every record whose profile value reads; the
// command ids are always the built-in ones.
ShortcutTable LoadShortcuts(const Profile& profile);
void SaveShortcuts(const ShortcutTable& records, Profile& profile);

}  // namespace pelmora
