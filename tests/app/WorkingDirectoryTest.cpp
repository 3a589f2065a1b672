#include <filesystem>

#include "../document/DocumentTestBed.h"
#include "platform/File.h"

using namespace pelmora;
using namespace pelmora::test;

using WorkingDirectoryTest = DocumentTestBed;

TEST_F(WorkingDirectoryTest, CancellingTheBrowserChangesNothingAndHandOversWaitForIt) {
    const std::string sound = MakeSound("s.wav", "-r 8000 -b 8 -c 1", 0.01);
    const std::string clip = app.ClipPath();
    std::vector<std::string> preselected;
    EXPECT_FALSE(app.SelectWorkingDirectory([&](const std::string& current) -> std::optional<std::string> {
        preselected.push_back(current);
        EXPECT_TRUE(app.Browsing());
        EXPECT_EQ(app.OpenFromShell(sound), nullptr);  // ignored, and nothing said
        return std::nullopt;
    }));
    EXPECT_EQ(preselected, std::vector<std::string>{platform::CanonicalPath(work)});
    EXPECT_FALSE(app.Browsing());
    EXPECT_EQ(app.ClipPath(), clip);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(app.Documents().empty());
    EXPECT_NE(app.OpenFromShell(sound), nullptr);  // the browser is closed again
}

TEST_F(WorkingDirectoryTest, AFolderWithoutRoomBringsTheBrowserBackOnThePreviousDirectory) {
    const std::string previous = app.WorkDir();
    const std::string chosen = root.File("chosen");
    std::filesystem::create_directories(chosen);
    // A sparse clip larger than any disk here: no folder can take it.
    std::filesystem::resize_file(app.ClipPath(), std::uintmax_t{1} << 42);
    std::vector<std::string> preselected;
    EXPECT_TRUE(app.SelectWorkingDirectory([&](const std::string& current) -> std::optional<std::string> {
        preselected.push_back(current);
        if (preselected.size() == 2) std::filesystem::resize_file(app.ClipPath(), 10);
        return chosen;
    }));
    EXPECT_EQ(preselected, (std::vector<std::string>{previous, previous}));
    EXPECT_EQ(prompter.messages, std::vector<std::string>{"Empty disk space"});
    EXPECT_EQ(app.WorkDir(), platform::CanonicalPath(chosen));
    EXPECT_EQ(platform::FolderOf(app.ClipPath()), app.WorkDir());
    EXPECT_EQ(platform::FileSize(app.ClipPath()), 10);
}

TEST_F(WorkingDirectoryTest, StartUpConfirmationRetriesUntilTheClipFileIsMade) {
    const std::string previous = app.WorkDir();
    std::vector<std::string> preselected;
    app.ConfirmWorkingDirectory([&](const std::string& current) -> std::optional<std::string> {
        preselected.push_back(current);
        if (preselected.size() == 1) return root.File("no-such-folder");  // no clip file there
        return std::nullopt;  // cancelled: the directory stays
    });
    EXPECT_EQ(preselected, (std::vector<std::string>{previous, previous}));
    EXPECT_EQ(app.WorkDir(), previous);
    EXPECT_EQ(platform::FolderOf(app.ClipPath()), previous);
    EXPECT_TRUE(platform::FileExists(app.ClipPath()));
    const std::string firstClip = app.ClipPath();

    const std::string chosen = root.File("chosen");
    std::filesystem::create_directories(chosen);
    app.ConfirmWorkingDirectory([&](const std::string&) { return std::optional<std::string>(chosen); });
    EXPECT_EQ(app.WorkDir(), platform::CanonicalPath(chosen));
    EXPECT_EQ(platform::FolderOf(app.ClipPath()), app.WorkDir());
    EXPECT_FALSE(platform::FileExists(firstClip));
    EXPECT_FALSE(app.Browsing());
}
