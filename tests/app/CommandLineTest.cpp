#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/MenuText.h"

using namespace pelmora;

TEST(CommandLine, AnUnquotedLineIsOnePathBlanksAndSwitchesIncluded) {
    const std::string line = JoinArguments({"/home/me/My", "Sounds/kick.wav"});
    EXPECT_EQ(line, "/home/me/My Sounds/kick.wav");
    EXPECT_EQ(ParseCommandLine(line).file, "/home/me/My Sounds/kick.wav");
    EXPECT_EQ(ParseCommandLine("My Sounds/kick.wav").file, "My Sounds/kick.wav");

    // A path the shell kept whole (it was quoted there) is quoted again, so switches after it count.
    const CommandLine kept = ParseCommandLine(JoinArguments({"/home/me/My Sounds/kick.wav", "-b"}));
    EXPECT_EQ(kept.file, "/home/me/My Sounds/kick.wav");
    EXPECT_FALSE(kept.fileBackup);

    // A switch in front does not end the rule: the whole line stays the name, and the switch
    // still counts.
    const CommandLine switched = ParseCommandLine("-b My Sounds/kick.wav");
    EXPECT_EQ(switched.file, "-b My Sounds/kick.wav");
    EXPECT_FALSE(switched.fileBackup);
}

TEST(CommandLine, AQuotedPathLosesItsQuotesAndLeavesTheSwitchesToThemselves) {
    const CommandLine quoted = ParseCommandLine(R"("My Sounds/kick.wav" /b -M)");
    EXPECT_EQ(quoted.file, "My Sounds/kick.wav");
    EXPECT_FALSE(quoted.fileBackup);
    EXPECT_TRUE(quoted.displayFlag);

    // Leading blanks come from joining nothing in front; the quote still opens the line.
    EXPECT_EQ(ParseCommandLine(R"(  "a b.wav")").file, "a b.wav");
}

TEST(CommandLine, SwitchesAloneOpenNothing) {
    const CommandLine none = ParseCommandLine("");
    EXPECT_TRUE(none.file.empty());
    EXPECT_TRUE(none.fileBackup);
    EXPECT_FALSE(none.displayFlag);
    EXPECT_FALSE(none.devices);

    const CommandLine upper = ParseCommandLine("/B -m");
    EXPECT_TRUE(upper.file.empty());
    EXPECT_FALSE(upper.fileBackup);
    EXPECT_TRUE(upper.displayFlag);

    // Unknown switches are ignored; a lone "-" or "/" is no switch at all.
    EXPECT_TRUE(ParseCommandLine("/x -pt").fileBackup);
    EXPECT_TRUE(ParseCommandLine("/x -pt").file.empty());
    EXPECT_EQ(ParseCommandLine("-").file, "-");
}

TEST(CommandLine, AnAbsolutePathIsNotTakenForASwitch) {
    EXPECT_EQ(ParseCommandLine("/tmp/kick.wav").file, "/tmp/kick.wav");
    const CommandLine slashSwitch = ParseCommandLine("/b");
    EXPECT_TRUE(slashSwitch.file.empty());
    EXPECT_FALSE(slashSwitch.fileBackup);
}

TEST(CommandLine, WindowsNamesTheTwoDevicesAndMayBeFollowedByAFile) {
    const CommandLine devices = ParseCommandLine("windows hw:0 \"USB Audio\"");
    ASSERT_TRUE(devices.devices);
    EXPECT_EQ(devices.devices->input, "hw:0");
    EXPECT_EQ(devices.devices->output, "USB Audio");
    EXPECT_TRUE(devices.file.empty());

    const CommandLine withFile = ParseCommandLine("Windows in out kick.wav");
    ASSERT_TRUE(withFile.devices);
    EXPECT_EQ(withFile.file, "kick.wav");

    // Without both names the word is an ordinary file name.
    const CommandLine single = ParseCommandLine("windows in");
    EXPECT_FALSE(single.devices);
    EXPECT_EQ(single.file, "windows in");
}

TEST(MenuText, ToolTipsDropMnemonicsAndTheDialogDots) {
    EXPECT_EQ(ToolTipText("New(&N)..."), "New");
    EXPECT_EQ(ToolTipText("About Pelmora(&A)..."), "About Pelmora");
    EXPECT_EQ(ToolTipText("&Save"), "Save");
    EXPECT_EQ(ToolTipText("Save(&S)\tCtrl+S"), "Save");
    EXPECT_EQ(ToolTipText("Level Ruler Show/Hide"), "Level Ruler Show/Hide");
    EXPECT_EQ(ToolTipText("Rock(&)Roll(&"), "Rock()Roll(");
}
