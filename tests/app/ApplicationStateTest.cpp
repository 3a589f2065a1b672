#include "../document/DocumentTestBed.h"
#include "app/Profile.h"
#include "base/Error.h"
#include "platform/File.h"

using namespace pelmora;
using namespace pelmora::test;

using ApplicationStateTest = DocumentTestBed;

TEST_F(ApplicationStateTest, TwentyDocumentsAtMostAndTheWarningOnce) {
    const std::string sound = MakeSound("s.wav", "-r 8000 -b 8 -c 1", 0.01);
    for (std::size_t i = 0; i < kMaxDocuments; ++i) {
        const std::string copy = user + "/s" + std::to_string(i) + ".wav";
        std::filesystem::copy_file(sound, copy);
        app.Open(copy);
    }
    EXPECT_TRUE(app.AtDocumentLimit());
    try {
        app.Open(sound);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Message(), "No more files can be opened.");
    }
    EXPECT_EQ(app.OpenFromShell(sound), nullptr);
    EXPECT_EQ(app.OpenFromShell(sound), nullptr);
    EXPECT_EQ(prompter.messages.size(), 1u);  // said once

    ASSERT_TRUE(app.Close(*app.Documents().front()));
    EXPECT_NE(app.OpenFromShell(sound), nullptr);
    EXPECT_EQ(app.OpenFromShell(user + "/s0.wav"), nullptr);
    EXPECT_EQ(prompter.messages.size(), 2u);  // the limit was left, so it is said again
    EXPECT_TRUE(app.CloseAll());
    EXPECT_EQ(FilesIn(work), std::set<std::string>{});
}

TEST_F(ApplicationStateTest, APathInDoubleQuotesOpensAsThePathWithoutThem) {
    const std::string sound = MakeSound("with blank.wav", "-r 8000 -b 8 -c 1", 0.01);
    COLMDoc& doc = app.Open("\"" + sound + "\"");
    EXPECT_TRUE(doc.RefersTo(sound));
    EXPECT_EQ(&app.Open(sound), &doc) << "the same file, so its document comes forward";
}

TEST_F(ApplicationStateTest, ChangingTheWorkingDirectoryMovesEveryTemporaryFile) {
    COLMDoc& doc = app.Open(MakeSound("m.wav", "-r 8000 -b 16 -c 1", 0.1));
    WriteAll(app.ClipPath(), std::vector<std::uint8_t>(5000, 1));
    WriteAll(doc.UndoPath(), std::vector<std::uint8_t>(300, 2));
    const std::string moved = root.File("moved");
    std::filesystem::create_directories(moved);
    app.ChangeWorkingDirectory(moved);
    EXPECT_EQ(app.WorkDir(), platform::CanonicalPath(moved));
    EXPECT_EQ(platform::FolderOf(app.ClipPath()), app.WorkDir());
    EXPECT_EQ(ReadAll(app.ClipPath()), std::vector<std::uint8_t>(5000, 1));
    EXPECT_EQ(platform::FolderOf(doc.UndoPath()), app.WorkDir());
    EXPECT_EQ(ReadAll(doc.UndoPath()).size(), 300u);
    EXPECT_TRUE(platform::FileExists(doc.RedoPath()));
    // The editing copy stays where it is; only the undo, redo and clip files move.
    EXPECT_EQ(FilesIn(work).size(), 1u);

    if (std::filesystem::is_directory("/dev/shm")) {
        const std::string other = "/dev/shm/pelmora-work-" + std::to_string(::getpid());
        std::filesystem::create_directories(other);
        app.ChangeWorkingDirectory(other);
        EXPECT_EQ(ReadAll(app.ClipPath()), std::vector<std::uint8_t>(5000, 1));
        EXPECT_EQ(FilesIn(moved), std::set<std::string>{});
        EXPECT_TRUE(app.CloseAll());
        EXPECT_EQ(FilesIn(other), std::set<std::string>{});
        std::filesystem::remove_all(other);
    }
}

TEST(Profile, SectionsAndKeysRoundTripAsTheyStand) {
    TempDir dir;
    const std::string path = dir.File("cfg/Pelmora.ini");
    Profile profile(path);
    profile.SetString("OLM App", "Work Dir", "/data/work dir");
    profile.SetInt("New", "samplerate", 3);
    ASSERT_TRUE(profile.Save());
    const auto text = ReadAll(path);
    const std::string content(text.begin(), text.end());
    EXPECT_NE(content.find("[OLM App]\nWork Dir=/data/work dir\n"), std::string::npos);

    Profile again(path);
    again.Load();
    EXPECT_EQ(again.GetString("OLM App", "Work Dir"), "/data/work dir");
    EXPECT_EQ(again.GetInt("New", "samplerate", 1), 3);
    EXPECT_EQ(again.GetInt("New", "freq", 220), 220);
    EXPECT_FALSE(again.GetString("Nope", "x"));
}

TEST(RecentFiles, FourAtMostNewestFirstThroughTheProfile) {
    RecentFiles recent;
    for (const char* path : {"/a.wav", "/b.wav", "/c.wav", "/d.wav", "/e.wav", "/c.wav"}) recent.Add(path);
    EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"/c.wav", "/e.wav", "/d.wav", "/b.wav"}));

    TempDir dir;
    Profile profile(dir.File("p.ini"));
    recent.Save(profile);
    SoundDeviceIds devices;
    devices.Save(profile);
    ASSERT_TRUE(profile.Save());
    Profile read(dir.File("p.ini"));
    read.Load();
    EXPECT_EQ(read.GetString("Recent File List", "File1"), "/c.wav");
    EXPECT_EQ(read.GetInt("SndDev", "outPid", 0), -1) << "no device chosen";
    RecentFiles loaded;
    loaded.Load(read);
    EXPECT_EQ(loaded.Paths(), recent.Paths());
}

TEST_F(ApplicationStateTest, OpenedSoundsJoinTheRecentFilesMadeOnesDoNot) {
    const std::string sound = MakeSound("r.wav", "-r 8000 -b 8 -c 1", 0.01);
    app.Open(sound);
    EXPECT_EQ(app.recentFiles.Paths(), (std::vector<std::string>{platform::CanonicalPath(sound)}));
    const std::string made = MakeSound("made.wav", "-r 8000 -b 8 -c 1", 0.01);
    app.OpenMadeFile(made);
    EXPECT_EQ(app.recentFiles.Paths().size(), 1u);
}
