#pragma once
// The "Shortcuts" page without its widgets: it edits its own copy of the records, captures a
// key combination, and says what each display shows and which buttons are enabled. The copy
// reaches the application's records only when the sheet's OK takes `Records()`.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/ShortcutRecords.h"

namespace pelmora {

class ShortcutPageModel {
public:
    // Opens on a copy of `applied`, group 0 and its first action, nothing captured.
    explicit ShortcutPageModel(const ShortcutTable& applied);

    // The menu list and the action list of the selected group.
    static std::vector<std::string_view> GroupNames();
    std::vector<std::string_view> ActionNames() const;
    std::size_t SelectedGroup() const { return group_; }
    std::size_t SelectedAction() const { return action_; }
    // A new group lists its actions with the first one selected. Out-of-range indexes are ignored.
    void SelectGroup(std::size_t group);
    void SelectAction(std::size_t action);

    // The capture field. A key went down with `modifiers` (kShiftFlag, kCtrlFlag, kAltFlag)
    // held: the modifiers are shown, and a named key that is not a modifier itself is captured.
    void KeyDown(std::uint16_t virtualKey, std::uint8_t modifiers);
    // A key went up: when only modifiers were pressed, the field empties.
    void KeyUp();
    const std::string& CaptureText() const { return captureText_; }
    bool Captured() const { return capturedKey_ != 0; }

    // "Current Shortcut" of the selected action and "Used Action" of the captured key.
    std::string CurrentShortcut() const;
    std::string UsedAction() const;

    bool AssignEnabled() const { return Captured(); }
    bool ClearEnabled() const { return Selected().HasShortcut(); }
    bool RevertPanelEnabled() const { return copy_ != applied_; }
    bool InitialSettingEnabled() const { return copy_ != DefaultShortcuts(); }

    // The captured key moves to the selected action, taken from whichever action had it.
    void Assign();
    // The selected action loses its shortcut.
    void Clear();
    // The copy again from the application's records, or from the built-in table.
    void RevertPanel();
    void InitialSetting();

    const ShortcutTable& Records() const { return copy_; }

private:
    const ShortcutRecord& Selected() const;
    std::size_t SelectedIndex() const;
    void ClearCapture();

    ShortcutTable applied_;
    ShortcutTable copy_;
    std::size_t group_ = 0;
    std::size_t action_ = 0;
    std::string captureText_;
    std::uint16_t capturedKey_ = 0;
    std::uint8_t capturedFlags_ = 0;
};

}  // namespace pelmora
