// The "Shortcuts" page's rules on its copy of the records: capture, Assign, Clear, the two
// reloads and the enabling of every button.

#include <gtest/gtest.h>

#include "app/KeyNames.h"
#include "app/ShortcutPageModel.h"

using namespace pelmora;

namespace {

constexpr std::size_t kView = 2;
constexpr std::uint16_t kCapsLock = 20;

struct Buttons {
    bool assign, clear, revert, initial;
    bool operator==(const Buttons&) const = default;
};

Buttons ButtonsOf(const ShortcutPageModel& page) {
    return {page.AssignEnabled(), page.ClearEnabled(), page.RevertPanelEnabled(), page.InitialSettingEnabled()};
}

void ExpectButtons(const ShortcutPageModel& page, Buttons expected, const char* step) {
    const Buttons got = ButtonsOf(page);
    EXPECT_EQ(got.assign, expected.assign) << step;
    EXPECT_EQ(got.clear, expected.clear) << step;
    EXPECT_EQ(got.revert, expected.revert) << step;
    EXPECT_EQ(got.initial, expected.initial) << step;
}

}  // namespace

TEST(ShortcutPage, OpensOnTheFirstGroupAndAction) {
    const ShortcutPageModel page(DefaultShortcuts());
    EXPECT_EQ(ShortcutPageModel::GroupNames().size(), 8u);
    EXPECT_EQ(page.ActionNames().size(), 15u);
    EXPECT_EQ(page.ActionNames().front(), "New");
    EXPECT_EQ(page.CurrentShortcut(), "Ctrl + N");
    EXPECT_EQ(page.CaptureText(), "");
    ExpectButtons(page, {false, true, false, false}, "open");
}

TEST(ShortcutPage, CtrlNMovedToCloseLeavesNewWithout) {
    ShortcutPageModel page(DefaultShortcuts());
    page.SelectAction(2);  // "Close"
    EXPECT_EQ(page.CurrentShortcut(), "");
    ExpectButtons(page, {false, false, false, false}, "Close selected");
    page.KeyDown(kCtrlKey, kCtrlFlag);
    EXPECT_EQ(page.CaptureText(), "Ctrl + ");
    EXPECT_FALSE(page.Captured());
    page.KeyDown('N', kCtrlFlag);
    EXPECT_EQ(page.CaptureText(), "Ctrl + N");
    EXPECT_EQ(page.UsedAction(), "New");
    ExpectButtons(page, {true, false, false, false}, "Ctrl+N captured");
    page.KeyUp();  // a key was captured: releasing keeps it
    EXPECT_EQ(page.CaptureText(), "Ctrl + N");

    page.Assign();
    EXPECT_EQ(page.CurrentShortcut(), "Ctrl + N");
    EXPECT_EQ(page.CaptureText(), "");
    EXPECT_EQ(page.UsedAction(), "");
    EXPECT_FALSE(page.Records()[0].HasShortcut());
    EXPECT_EQ(page.Records()[0].flags, 0);
    EXPECT_EQ(page.Records()[2].key, 'N');
    EXPECT_EQ(page.Records()[2].flags, kVirtualKeyFlag | kCtrlFlag);
    ExpectButtons(page, {false, true, true, true}, "assigned");

    // The same capture again names "Close" now.
    page.KeyDown('N', kCtrlFlag);
    EXPECT_EQ(page.UsedAction(), "Close");
}

TEST(ShortcutPage, CaptureFieldKeys) {
    struct Case {
        std::uint16_t key;
        std::uint8_t modifiers;
        const char* text;
        bool captured;
        const char* usedBy;
    };
    const Case cases[] = {
        {kShiftKey, kShiftFlag, "Shift + ", false, ""},
        {kAltKey, kAltFlag | kCtrlFlag, "Ctrl + Alt + ", false, ""},
        {kCapsLock, 0, "Caps Lock", true, ""},
        {27, 0, "", false, ""},                     // Escape has no name
        {27, kShiftFlag, "Shift + ", false, ""},
        {'H', kShiftFlag, "Shift + H", true, "Vertical Zoom In"},
        {96, 0, "Num 0", true, "Stop"},
        {'0', 0, "0", true, ""},
        {0xDB, kShiftFlag, "Shift + [", true, "Extend Loop Top"},
        {37, kCtrlFlag | kAltFlag | kShiftFlag, "Ctrl + Alt + Shift + Left", true, ""},
        {0xE5, 0, "", false, ""},                   // no character on a US keyboard
    };
    for (const Case& c : cases) {
        ShortcutPageModel page(DefaultShortcuts());
        page.KeyDown(c.key, c.modifiers);
        EXPECT_EQ(page.CaptureText(), c.text) << c.key;
        EXPECT_EQ(page.Captured(), c.captured) << c.key;
        EXPECT_EQ(page.AssignEnabled(), c.captured) << c.key;
        EXPECT_EQ(page.UsedAction(), c.usedBy) << c.key;
        page.KeyUp();
        EXPECT_EQ(page.CaptureText().empty(), !c.captured) << c.key;
    }
}

TEST(ShortcutPage, CapsLockIsAssignedLikeAnyNamedKey) {
    ShortcutPageModel page(DefaultShortcuts());
    page.SelectGroup(kView);
    page.SelectAction(6);  // "Go To Play location"
    page.KeyDown(kCapsLock, 0);
    page.Assign();
    EXPECT_EQ(page.CurrentShortcut(), "Caps Lock");
    EXPECT_EQ(page.Records()[43].key, kCapsLock);
    EXPECT_EQ(page.Records()[43].flags, kVirtualKeyFlag);
}

TEST(ShortcutPage, ClearRevertPanelAndInitialSetting) {
    ShortcutTable applied = DefaultShortcuts();
    applied[14].key = 'Q';  // "Quit" on Ctrl+Q in the application's records
    applied[14].flags = kVirtualKeyFlag | kCtrlFlag;
    ShortcutPageModel page(applied);
    ExpectButtons(page, {false, true, false, true}, "open on changed records");

    page.Clear();  // "New"
    EXPECT_EQ(page.CurrentShortcut(), "");
    ExpectButtons(page, {false, false, true, true}, "New cleared");

    page.InitialSetting();
    EXPECT_EQ(page.Records(), DefaultShortcuts());
    EXPECT_EQ(page.CurrentShortcut(), "Ctrl + N");
    ExpectButtons(page, {false, true, true, false}, "initial setting");

    page.RevertPanel();
    EXPECT_EQ(page.Records(), applied);
    ExpectButtons(page, {false, true, false, true}, "revert panel");

    // Taking a shortcut away and giving the same one back is no change: records compare by field.
    page.Clear();
    page.KeyDown('N', kCtrlFlag);
    page.Assign();
    ExpectButtons(page, {false, true, false, true}, "New given back Ctrl+N");
}

TEST(ShortcutPage, AGroupListsItsActionsWithTheFirstSelected) {
    ShortcutPageModel page(DefaultShortcuts());
    page.SelectAction(5);
    page.SelectGroup(5);  // "Others"
    EXPECT_EQ(page.SelectedAction(), 0u);
    ASSERT_EQ(page.ActionNames().size(), 6u);
    EXPECT_EQ(page.ActionNames()[2], "Rec");
    EXPECT_EQ(page.CurrentShortcut(), "Enter");
    page.SelectAction(6);  // past the group: ignored
    EXPECT_EQ(page.SelectedAction(), 0u);
    page.SelectGroup(8);
    EXPECT_EQ(page.SelectedGroup(), 5u);
    page.SelectGroup(7);
    EXPECT_EQ(page.ActionNames(), std::vector<std::string_view>{"About Pelmora"});
}

// A profile can leave two records on one key; Assign then frees it from both, and "Used Action"
// does not see the flag bits that make no key combination.
TEST(ShortcutPage, AssignTakesTheKeyFromEveryHolder) {
    ShortcutTable applied = DefaultShortcuts();
    applied[4] = {applied[4].name, applied[4].command, kVirtualKeyFlag | kCtrlFlag | 0x80, 'N'};  // "Save As"
    ShortcutPageModel page(applied);
    page.SelectAction(2);
    page.KeyDown('N', kCtrlFlag);
    EXPECT_EQ(page.UsedAction(), "New");
    page.Assign();
    for (std::size_t i : {0u, 4u}) EXPECT_FALSE(page.Records()[i].HasShortcut()) << i;
    EXPECT_EQ(page.Records()[2].key, 'N');
}
