#pragma once
// The main frame's accelerator table, made from the shortcut records, and the menu items whose
// text shows their shortcut after a tab.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/ShortcutRecords.h"

namespace pelmora {

// A key as the keyboard delivered it: its virtual key (0 when it has none), the modifiers held
// (kShiftFlag, kCtrlFlag, kAltFlag) and the character it typed (0 when none).
struct KeyStroke {
    std::uint16_t virtualKey = 0;
    std::uint8_t modifiers = 0;
    std::uint16_t character = 0;
};

class AcceleratorTable {
public:
    AcceleratorTable() = default;
    // One entry per record that has a key, in table order; keyless records bind nothing.
    explicit AcceleratorTable(const ShortcutTable& records);

    // The command of the first entry the stroke matches: a virtual-key entry by key and exactly
    // its Shift, Ctrl and Alt; a character entry by the character typed and its Alt.
    std::optional<CommandId> Find(const KeyStroke& stroke) const;
    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        std::uint8_t flags;
        std::uint16_t key;
        CommandId command;
    };
    std::vector<Entry> entries_;
};

// The commands whose menu item shows its shortcut: the File, Edit, Options and Window records'
// commands, the View menu's own items and "About".
std::span<const CommandId> MenuShortcutCommands();

// The menu text of `command`: the text before any tab, then a tab and the shortcut of the
// command's record when it has one.
std::string MenuItemText(const std::string& text, const ShortcutTable& records, CommandId command);

}  // namespace pelmora
