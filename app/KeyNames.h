#pragma once
// The names of keys and the shortcut texts of records, as the menus and the "Shortcuts" page
// show them.

#include <cstdint>
#include <string>

#include "app/ShortcutRecords.h"

namespace pelmora {

inline constexpr std::uint16_t kNamedVirtualKeys = 146;
// Virtual keys that are modifiers themselves.
inline constexpr std::uint16_t kShiftKey = 16;
inline constexpr std::uint16_t kCtrlKey = 17;
inline constexpr std::uint16_t kAltKey = 18;

// The name of a key: a virtual key below 146 from the key-name table (empty where the table has
// none), above it the character the key types on a US keyboard; a key that is not a virtual key
// by its own character. Empty when the key has no printable name.
std::string KeyName(std::uint16_t key, bool virtualKey);

// "Ctrl+Alt+Shift+N" for the menus, "Ctrl + Alt + Shift + N" for the page; empty when the
// record has no key or the key no name.
std::string MenuShortcutText(const ShortcutRecord& record);
std::string PageShortcutText(const ShortcutRecord& record);

// "Ctrl + ", "Alt + ", "Shift + " for the modifiers among `flags`, in that order.
std::string PageModifierText(std::uint8_t flags);

}  // namespace pelmora
