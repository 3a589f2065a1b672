#pragma once
// The 107 shortcut records: one per command that can have a keyboard shortcut, in a fixed order
// shared by the accelerator table, the menu texts, the "OLM ShortCut" profile section and the
// "Shortcuts" page. The names are fixed; only key and flags change.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/CommandId.h"

namespace pelmora {

// The platform's accelerator flags.
inline constexpr std::uint8_t kVirtualKeyFlag = 0x01;
inline constexpr std::uint8_t kShiftFlag = 0x04;
inline constexpr std::uint8_t kCtrlFlag = 0x08;
inline constexpr std::uint8_t kAltFlag = 0x10;
// The bits that say which key combination a record holds; others are carried but not compared.
inline constexpr std::uint8_t kCombinationFlags = kVirtualKeyFlag | kShiftFlag | kCtrlFlag | kAltFlag;

inline constexpr std::size_t kShortcutCount = 107;
inline constexpr std::size_t kShortcutGroupCount = 8;

struct ShortcutRecord {
    std::string_view name;  // also the record's profile key; at most 63 characters
    CommandId command{};
    std::uint8_t flags = 0;
    std::uint16_t key = 0;  // 0: no shortcut

    bool HasShortcut() const { return key != 0; }
    // The same key combination: key and the combination bits of the flags.
    bool SameCombination(std::uint16_t otherKey, std::uint8_t otherFlags) const {
        return key == otherKey && (flags & kCombinationFlags) == (otherFlags & kCombinationFlags);
    }
    // Field by field: name, command, key and every flag bit.
    bool operator==(const ShortcutRecord&) const = default;
};

using ShortcutTable = std::array<ShortcutRecord, kShortcutCount>;

struct ShortcutGroup {
    std::string_view name;  // the menu the group's commands sit in
    std::size_t first;      // index of its first record
    std::size_t count;
};

// The built-in table.
const ShortcutTable& DefaultShortcuts();
// "File", "Edit", "View", "Options", "Window", "Others", "Zoom", "Help", in table order.
const std::array<ShortcutGroup, kShortcutGroupCount>& ShortcutGroups();

// The first record of `command`, or null.
const ShortcutRecord* FindShortcut(const ShortcutTable& records, CommandId command);

}  // namespace pelmora
