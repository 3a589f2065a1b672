// The shortcut records: built-in table, key names, the profile section and the accelerators.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/Accelerators.h"
#include "app/KeyNames.h"
#include "app/ShortcutProfile.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

// Every record with a built-in shortcut, as the menus show it; the other 57 have none.
TEST(ShortcutRecords, BuiltInShortcutsByIndex) {
    struct Case {
        std::size_t index;
        const char* name;
        unsigned command;
        const char* shortcut;
    };
    const Case cases[] = {
        {0, "New", 57600, "Ctrl+N"},           {1, "Open", 57601, "Ctrl+O"},
        {3, "Save", 57603, "Ctrl+S"},          {5, "Revert", 32791, "Ctrl+R"},
        {15, "Undo", 57643, "Ctrl+Z"},         {16, "Cut", 57635, "Ctrl+X"},
        {17, "Copy", 57634, "Ctrl+C"},         {18, "Paste", 57637, "Ctrl+V"},
        {19, "Insert", 32801, "Ctrl+I"},       {20, "Clear", 57632, "Ctrl+Del"},
        {21, "Select All", 57642, "Ctrl+A"},   {22, "Trim", 32802, "Ctrl+T"},
        {23, "Mix", 32803, "Ctrl+M"},          {37, "Go To Top", 33099, "Left"},
        {38, "Go To End", 33100, "Right"},     {39, "Go To Selection Top", 33101, "Ctrl+Left"},
        {40, "Go To Selection End", 33102, "Ctrl+Right"},
        {41, "Go To Loop Top", 33123, "Ctrl+Alt+Left"},
        {42, "Go To Loop End", 33124, "Ctrl+Alt+Right"},
        {44, "Vertical Full Zoom In", 33037, "Ctrl+Y"},
        {45, "Vertical Full Zoom Out", 33038, "Ctrl+J"},
        {46, "Horizontal Full Zoom In", 33039, "Ctrl+H"},
        {47, "Horizontal Full Zoom Out", 33040, "Ctrl+G"},
        {48, "Fit To Selection", 33093, "Ctrl+F"}, {49, "Fit To Loop", 33127, "Ctrl+L"},
        {50, "Previous Zoom", 33134, "Z"},     {53, "Up Selection", 104, "Up"},
        {54, "Down Selection", 105, "Down"},   {55, "Extend Selection Upper", 106, "Shift+Up"},
        {56, "Extend Selection Lower", 107, "Shift+Down"},
        {57, "Extend Selection Top", 108, "Shift+Left"},
        {58, "Shrink Selection Top", 109, "Shift+Right"},
        {59, "Extend Selection End", 110, "Alt+Right"},
        {60, "Shrink Selection End", 111, "Alt+Left"},
        {61, "Extend Loop Top", 112, "Shift+["},  {62, "Shrink Loop Top", 113, "Shift+]"},
        {63, "Extend Loop End", 114, "Ctrl+]"},   {64, "Shrink Loop End", 115, "Ctrl+["},
        {73, "Time Ruler (Rotate)", 117, "T"},    {79, "Level Ruler (Rotate)", 116, "L"},
        {96, "Play", 32773, "Enter"},          {97, "Stop", 32772, "Num 0"},
        {98, "Rec", 32774, "Num *"},           {99, "Region Play", 32775, "Space"},
        {100, "Rewind", 32771, "Num 1"},       {101, "Loop Mode", 1221, "Num /"},
        {102, "Vertical Zoom In", 1089, "Shift+H"}, {103, "Vertical Zoom Out", 1088, "Shift+G"},
        {104, "Horizontal Zoom In", 1087, "H"},     {105, "Horizontal Zoom Out", 1086, "G"},
    };
    const ShortcutTable& records = DefaultShortcuts();
    std::size_t withKey = 0;
    for (const ShortcutRecord& record : records) withKey += record.HasShortcut();
    EXPECT_EQ(withKey, std::size(cases));
    for (const Case& c : cases) {
        const ShortcutRecord& record = records[c.index];
        EXPECT_EQ(record.name, c.name) << c.index;
        EXPECT_EQ(static_cast<unsigned>(record.command), c.command) << c.name;
        EXPECT_EQ(MenuShortcutText(record), c.shortcut) << c.name;
        EXPECT_TRUE(record.flags & kVirtualKeyFlag) << c.name;
    }
    // Keyless records keep flags 0 too; a few names that are easy to get wrong.
    for (const ShortcutRecord& record : records)
        if (!record.HasShortcut()) {
            EXPECT_EQ(record.flags, 0) << record.name;
        }
    EXPECT_EQ(records[71].name, "Time Ruler :Time ");
    EXPECT_EQ(records[72].name, "Time Ruler :Sample ");
    EXPECT_EQ(records[84].name, "Window Sound Device Conf...");
    EXPECT_EQ(records[87].command, CommandId::Preference);
    EXPECT_EQ(records[106].name, "About Pelmora");
}

TEST(ShortcutRecords, GroupsInTableOrder) {
    const auto& groups = ShortcutGroups();
    const std::pair<const char*, const char*> firstAndLast[] = {
        {"New", "Quit"},       {"Undo", "Selection to New"}, {"Go To Top", "Connect dots"},
        {"SCSI Rescan", "Preference"}, {"Cascade", "Next Window"}, {"Play", "Loop Mode"},
        {"Vertical Zoom In", "Horizontal Zoom Out"}, {"About Pelmora", "About Pelmora"},
    };
    const char* names[] = {"File", "Edit", "View", "Options", "Window", "Others", "Zoom", "Help"};
    for (std::size_t g = 0; g < kShortcutGroupCount; ++g) {
        EXPECT_EQ(groups[g].name, names[g]);
        EXPECT_EQ(DefaultShortcuts()[groups[g].first].name, firstAndLast[g].first);
        EXPECT_EQ(DefaultShortcuts()[groups[g].first + groups[g].count - 1].name, firstAndLast[g].second);
    }
}

TEST(KeyNames, TableCharactersAndGaps) {
    struct Case {
        std::uint16_t key;
        bool virtualKey;
        const char* name;
    };
    const Case cases[] = {
        {0, true, ""},            {3, true, "Break"},       {8, true, "BS"},
        {18, true, ""},           // Alt has no name
        {20, true, "Caps Lock"},  {27, true, ""},           // nor Escape
        {33, true, "Page up"},    {47, true, "Help"},       {48, true, "0"},
        {57, true, "9"},          {65, true, "A"},          {90, true, "Z"},
        {96, true, "Num 0"},      {105, true, "Num 9"},     {106, true, "Num *"},
        {108, true, ""},          {110, true, "Num ."},     {111, true, "Num /"},
        {112, true, "F1"},        {135, true, "F24"},       {136, true, ""},
        {144, true, "Num lock"},  {145, true, "Scroll"},    {146, true, ""},
        {0xBA, true, ";"},        {0xDB, true, "["},        {0xDE, true, "'"},
        {0xFFFF, true, ""},       {'a', false, "a"},        {'+', false, "+"},
        {7, false, ""},           {0xE9, false, "\xC3\xA9"},  // é as UTF-8
        {0x100 + 'a', false, "a"},
    };
    for (const Case& c : cases) EXPECT_EQ(KeyName(c.key, c.virtualKey), c.name) << c.key;
}

TEST(KeyNames, ModifiersInOrderAndNamelessKeys) {
    ShortcutRecord record{"x", CommandId::New, kVirtualKeyFlag | kShiftFlag | kCtrlFlag | kAltFlag, 'N'};
    EXPECT_EQ(MenuShortcutText(record), "Ctrl+Alt+Shift+N");
    EXPECT_EQ(PageShortcutText(record), "Ctrl + Alt + Shift + N");
    record.key = 27;  // Escape: no name, so no text at all
    EXPECT_EQ(MenuShortcutText(record), "");
    record.key = 0;
    EXPECT_EQ(PageShortcutText(record), "");
    EXPECT_EQ(PageModifierText(kShiftFlag | kAltFlag), "Alt + Shift + ");
}

TEST(ShortcutProfile, ValueRules) {
    struct Case {
        std::string value;
        bool reads;
        std::uint16_t key;
        std::uint8_t flags;
    };
    const Case cases[] = {
        {"57600 78 9", true, 78, 9},
        {"1 78 9", true, 78, 9},               // the command id is not used
        {"  57600   78\t9 ", true, 78, 9},     // any run of blanks separates
        {"57600 78", false, 0, 0},             // two numbers
        {"57600 78 9 1", false, 0, 0},         // four
        {"57600 78 x", false, 0, 0},
        {"57600 78 9x", false, 0, 0},
        {"", false, 0, 0},
        {"57600 78 265", true, 78, 9},         // the low 8 bits of the flags
        {"57600 78 -247", true, 78, 9},
        {"57600 65614 9", true, 78, 9},        // the key is a 16-bit field
        {"57600 +78 9", true, 78, 9},
        {"57600 99999999999999999999 9", false, 0, 0},
        {"57600 78 " + std::string(250, ' ') + "9", false, 0, 0},  // the 9 is past 255 characters
        {"57600 78 9" + std::string(300, ' ') + "1", true, 78, 9},  // the 1 is cut off
    };
    for (const Case& c : cases) {
        const auto parsed = ParseShortcutValue(c.value);
        ASSERT_EQ(parsed.has_value(), c.reads) << '"' << c.value << '"';
        if (!parsed) continue;
        EXPECT_EQ(parsed->key, c.key) << c.value;
        EXPECT_EQ(parsed->flags, c.flags) << c.value;
    }
}

TEST(ShortcutProfile, LoadKeepsCommandsAndSkipsBadValues) {
    TempDir dir;
    const std::string path = dir.File("Pelmora.ini");
    {
        std::ofstream out(path);
        out << "[OLM ShortCut]\n"
            << "Close=1 78 9\n"               // Ctrl+N, with a foreign command id
            << "New=57600 79\n"               // two numbers: stays Ctrl+N
            << "Time Ruler :Time =33043 84 5\n"  // Shift+T under the name with its blank
            << "Time Ruler Show/Hide=118 112 1\n"
            << "Rec=32774 0 0\n";
    }
    Profile profile(path);
    profile.Load();
    const ShortcutTable records = LoadShortcuts(profile);
    EXPECT_EQ(MenuShortcutText(records[2]), "Ctrl+N");
    EXPECT_EQ(records[2].command, CommandId::Close);
    EXPECT_EQ(records[0], DefaultShortcuts()[0]);
    EXPECT_EQ(MenuShortcutText(records[71]), "Shift+T");
    EXPECT_EQ(MenuShortcutText(records[74]), "F1");
    EXPECT_FALSE(records[98].HasShortcut());
    for (std::size_t i = 0; i < kShortcutCount; ++i) EXPECT_EQ(records[i].name, DefaultShortcuts()[i].name);
}

TEST(ShortcutProfile, SavedNamesStandAsTheyAreAndReadBack) {
    TempDir dir;
    const std::string path = dir.File("Pelmora.ini");
    ShortcutTable records = DefaultShortcuts();
    records[72].key = 'S';
    records[72].flags = kVirtualKeyFlag | kAltFlag;
    {
        Profile profile(path);
        SaveShortcuts(records, profile);
        ASSERT_TRUE(profile.Save());
    }
    const std::string text = ReadText(path);
    EXPECT_NE(text.find("\nTime Ruler :Time =33043 0 0\n"), std::string::npos);
    EXPECT_NE(text.find("\nTime Ruler :Sample =33044 83 17\n"), std::string::npos);
    EXPECT_NE(text.find("\nTime Ruler Show/Hide=118 0 0\n"), std::string::npos);
    EXPECT_NE(text.find("\nNew=57600 78 9\n"), std::string::npos);
    EXPECT_NE(text.find("\nLoop Mode=1221 111 1\n"), std::string::npos);

    Profile again(path);
    again.Load();
    EXPECT_EQ(LoadShortcuts(again), records);
    // Saving what was read writes each name once, still with its blank.
    SaveShortcuts(LoadShortcuts(again), again);
    ASSERT_TRUE(again.Save());
    const std::string second = ReadText(path);
    EXPECT_EQ(second, text);
}

TEST(Accelerators, KeylessRecordsBindNothingAndTheFirstEntryWins) {
    const AcceleratorTable table(DefaultShortcuts());
    EXPECT_EQ(table.Size(), 50u);
    struct Case {
        KeyStroke stroke;
        std::optional<CommandId> command;
    };
    const Case cases[] = {
        {{'N', kCtrlFlag, 14}, CommandId::New},
        {{0, kCtrlFlag, 0}, std::nullopt},             // Ctrl+@ is no key: not "Close"
        {{0, 0, 0}, std::nullopt},
        {{'N', kCtrlFlag | kShiftFlag, 14}, std::nullopt},  // modifiers match exactly
        {{'H', 0, 'h'}, CommandId::HorizontalZoomIn},
        {{'H', kShiftFlag, 'H'}, CommandId::VerticalZoomIn},
        {{96, 0, '0'}, CommandId::Stop},                // Num 0
        {{'0', 0, '0'}, std::nullopt},                  // the main 0 is another key
        {{106, 0, '*'}, CommandId::Record},             // Num *
        {{'8', kShiftFlag, '*'}, std::nullopt},         // Shift+8 types "*" but is not Num *
        {{0xDB, kShiftFlag, '{'}, CommandId::ExtendLoopTop},
        {{37, kCtrlFlag | kAltFlag, 0}, CommandId::GoToLoopTop},
        {{13, 0, '\r'}, CommandId::Play},
    };
    for (const Case& c : cases) EXPECT_EQ(table.Find(c.stroke), c.command) << c.stroke.virtualKey;

    ShortcutTable records = DefaultShortcuts();
    records[2].key = 'N';  // "Close" given New's key by a hand-edited profile
    records[2].flags = kVirtualKeyFlag | kCtrlFlag;
    records[14].key = 'q';  // "Quit" as a character accelerator: Alt counts, Ctrl and Shift do not
    records[14].flags = kAltFlag;
    const AcceleratorTable edited(records);
    EXPECT_EQ(edited.Find({'N', kCtrlFlag, 14}), CommandId::New);
    EXPECT_EQ(edited.Find({'Q', kAltFlag, 'q'}), CommandId::Quit);
    EXPECT_EQ(edited.Find({'Q', kAltFlag | kShiftFlag, 'q'}), CommandId::Quit);
    EXPECT_EQ(edited.Find({'Q', 0, 'q'}), std::nullopt);
}

TEST(Accelerators, MenuTextsCarryTheShortcutAfterATab) {
    const auto ids = MenuShortcutCommands();
    EXPECT_EQ(ids.size(), 15u + 22u + 29u + 5u + 8u + 1u);
    auto listed = [&](CommandId id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
    EXPECT_TRUE(listed(CommandId::Preference));
    EXPECT_TRUE(listed(CommandId::ConnectDots));
    EXPECT_TRUE(listed(CommandId::About));
    EXPECT_FALSE(listed(CommandId::Play));
    EXPECT_FALSE(listed(CommandId::PreviousZoom));
    EXPECT_FALSE(listed(CommandId::HorizontalZoomIn));

    ShortcutTable records = DefaultShortcuts();
    EXPECT_EQ(MenuItemText("New(&N)...", records, CommandId::New), "New(&N)...\tCtrl+N");
    EXPECT_EQ(MenuItemText("New(&N)...\tCtrl+N", records, CommandId::New), "New(&N)...\tCtrl+N");
    EXPECT_EQ(MenuItemText("Close", records, CommandId::Close), "Close");
    records[0].key = 0;
    records[0].flags = 0;
    EXPECT_EQ(MenuItemText("New(&N)...\tCtrl+N", records, CommandId::New), "New(&N)...");
    EXPECT_EQ(MenuItemText("Loop On", records, CommandId::LoopOn), "Loop On");  // no record
}
