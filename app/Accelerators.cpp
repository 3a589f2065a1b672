#include "app/Accelerators.h"

#include <array>

#include "app/KeyNames.h"

namespace pelmora {

namespace {

constexpr std::uint8_t kModifierFlags = kShiftFlag | kCtrlFlag | kAltFlag;

using C = CommandId;

// The View menu's items that show their shortcut, in menu order.
constexpr C kViewMenuCommands[] = {
    C::GoToTop, C::GoToEnd, C::GoToSelectionTop, C::GoToSelectionEnd, C::GoToLoopTop, C::GoToLoopEnd,
    C::GoToPlayLocation, C::VerticalFullZoomIn, C::VerticalFullZoomOut, C::HorizontalFullZoomIn,
    C::HorizontalFullZoomOut, C::FitToSelection, C::FitToLoop, C::SelectLoop, C::AutoSnapNone,
    C::AutoSnapZeroCross, C::AutoSnapLevel, C::SelectionToLoop, C::Waveform, C::Overview, C::TimeRulerHide,
    C::TimeRulerTime, C::TimeRulerSample, C::LevelRulerHide, C::LevelRulerPercent, C::LevelRulerDecibel,
    C::LevelRulerValue, C::ScrollDuringPlayback, C::ConnectDots,
};

std::vector<CommandId> MakeMenuShortcutCommands() {
    const auto& groups = ShortcutGroups();
    const ShortcutTable& records = DefaultShortcuts();
    std::vector<CommandId> ids;
    for (std::size_t g : {0u, 1u}) {
        for (std::size_t i = 0; i < groups[g].count; ++i) ids.push_back(records[groups[g].first + i].command);
    }
    ids.insert(ids.end(), std::begin(kViewMenuCommands), std::end(kViewMenuCommands));
    for (std::size_t g : {3u, 4u}) {
        for (std::size_t i = 0; i < groups[g].count; ++i) ids.push_back(records[groups[g].first + i].command);
    }
    ids.push_back(CommandId::About);
    return ids;
}

}  // namespace

AcceleratorTable::AcceleratorTable(const ShortcutTable& records) {
    for (const ShortcutRecord& record : records) {
        if (record.HasShortcut()) entries_.push_back({record.flags, record.key, record.command});
    }
}

std::optional<CommandId> AcceleratorTable::Find(const KeyStroke& stroke) const {
    const std::uint8_t held = stroke.modifiers & kModifierFlags;
    for (const Entry& entry : entries_) {
        if (entry.flags & kVirtualKeyFlag) {
            if (stroke.virtualKey != 0 && entry.key == stroke.virtualKey && (entry.flags & kModifierFlags) == held)
                return entry.command;
        } else if (stroke.character != 0 && entry.key == stroke.character &&
                   (entry.flags & kAltFlag) == (held & kAltFlag)) {
            return entry.command;
        }
    }
    return std::nullopt;
}

std::span<const CommandId> MenuShortcutCommands() {
    static const std::vector<CommandId> ids = MakeMenuShortcutCommands();
    return ids;
}

std::string MenuItemText(const std::string& text, const ShortcutTable& records, CommandId command) {
    std::string item = text.substr(0, text.find('\t'));
    if (const ShortcutRecord* record = FindShortcut(records, command)) {
        const std::string shortcut = MenuShortcutText(*record);
        if (!shortcut.empty()) item += '\t' + shortcut;
    }
    return item;
}

}  // namespace pelmora
