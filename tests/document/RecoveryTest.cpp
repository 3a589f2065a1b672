// The manifest a process keeps of its files, and the clearing of what dead processes left: only
// our own files in the working directory are ever deleted, and unsaved changes wait for recovery.

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "document/Recovery.h"
#include "platform/File.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// The identity of a process that has ended.
platform::ProcessIdentity DeadProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return {static_cast<int>(child), 1};
}

void Touch(const std::string& path) { WriteAll(path, {1, 2, 3}); }

void WriteManifest(const std::string& path, const Manifest& manifest) {
    const std::string text = FormatManifest(manifest);
    WriteAll(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace

TEST(Manifest, ReadsBackWhatItWroteAndRefusesWhatItDidNot) {
    Manifest manifest;
    manifest.process = {4321, 987654321};
    manifest.clip = "/w/OLM_CLIP_1";
    manifest.documents.push_back({"/music/odd\nname\\.wav", "odd", "/w/OLM_BACKUP_1", true, "/w/OLM_UNDO_1",
                                  "/w/OLM_REDO_1", "/w/OLM_IMAGE_1", true, 1765000000,
                                  ManifestLoop{true, 100, 2000}});
    manifest.documents.push_back({"", "OLM_NEW_2.wav", "/w/OLM_NEW_2.wav", true, "", "", "", false, 0, std::nullopt});
    manifest.removals = {"/music/.a.wav.saving-10-00-00", "/w/OLM_TEMP_3"};
    const std::string text = FormatManifest(manifest);
    EXPECT_EQ(ParseManifest(text), manifest);

    EXPECT_FALSE(ParseManifest(""));
    EXPECT_FALSE(ParseManifest(text.substr(0, text.size() - 1))) << "cut short";
    EXPECT_FALSE(ParseManifest("pelmora manifest 1\nclip x\n")) << "no process";
    EXPECT_FALSE(ParseManifest("pelmora manifest 1\nprocess 12\n"));
    EXPECT_FALSE(ParseManifest("pelmora manifest 1\nprocess 1 2\ndocument\nown 7\n"));
    EXPECT_FALSE(ParseManifest("pelmora manifest 1\nprocess 1 2\ndocument\nchanged 1 x\n"));
    EXPECT_FALSE(ParseManifest("pelmora manifest 1\nprocess 1 2\ndocument\nloop 1 5\n"));
    EXPECT_TRUE(ParseManifest("pelmora manifest 1\nprocess 1 2\nlater-key 5\n")) << "keys of a later version";
}

TEST(Leftovers, OnlyOurFilesOfDeadProcessesGoAndUnsavedChangesWait) {
    TempDir dir;
    const std::string work = dir.File("work"), music = dir.File("music");
    std::filesystem::create_directory(work);
    std::filesystem::create_directory(music);
    const auto in = [&](const std::string& name) { return work + "/" + name; };
    for (const char* name : {"OLM_CLIP_1", "OLM_UNDO_1", "OLM_REDO_1", "OLM_IMAGE_1", "OLM_BACKUP_1", "OLM_UNDO_2",
                             "OLM_REDO_2", "OLM_BACKUP_2", "OLM_NEW_3.wav", "mine.wav", "OLM_UNDO_9"})
        Touch(in(name));
    Touch(music + "/song.wav");
    Touch(music + "/.song.wav.saving-10-00-00");
    Touch(music + "/.other.wav.saving-10-00-00");
    Touch(music + "/OLM_UNDO_5");

    Manifest dead;
    dead.process = DeadProcess();
    dead.clip = in("OLM_CLIP_1");
    // Changed with File Backup on: waits.
    dead.documents.push_back({music + "/song.wav", "song.wav", in("OLM_BACKUP_1"), true, in("OLM_UNDO_1"),
                              in("OLM_REDO_1"), in("OLM_IMAGE_1"), true, 200, std::nullopt});
    // Unchanged copy: goes.
    dead.documents.push_back({music + "/b.wav", "b.wav", in("OLM_BACKUP_2"), true, in("OLM_UNDO_2"),
                              in("OLM_REDO_2"), "", false, 0, std::nullopt});
    // A sound the system made: waits, under its title.
    dead.documents.push_back({"", "OLM_NEW_3.wav", in("OLM_NEW_3.wav"), true, "", "", "", true, 100, std::nullopt});
    // File Backup off: the user's file is neither recovered nor deleted, and neither is a file
    // that is not ours or lies outside the working directory, whatever the manifest says.
    dead.documents.push_back({in("mine.wav"), "mine.wav", in("mine.wav"), false, music + "/OLM_UNDO_5",
                              in("mine.wav"), "", true, 50, std::nullopt});
    // Files the process could not delete: ours go, anything else stays.
    Touch(music + "/.x.wav.saving-1");
    // Files being written when it died: a conversion's, the MP3 encoder's and a sampler import's.
    // Names that only look like a sampler import's stay.
    const std::vector<std::string> written = {"OLM_TEMP_1", "MP3_OUT-2.wav", "Piano_10-00-00-3.aif", "Pad_23-59-59.aif",
                                              "Piano.aif", "Pad_1-00-00.aif", "Pad_10-00-00-.aif"};
    dead.removals = {music + "/.x.wav.saving-1", music + "/song.wav"};
    for (const std::string& name : written) {
        Touch(in(name));
        dead.removals.push_back(in(name));
    }
    WriteManifest(in("OLM_MANIFEST_1-1"), dead);

    Manifest alive;
    alive.process = platform::CurrentProcess();
    alive.documents.push_back({"", "x", in("OLM_UNDO_9"), true, in("OLM_UNDO_9"), "", "", false, 0, std::nullopt});
    WriteManifest(in("OLM_MANIFEST_2-2"), alive);
    Touch(in("OLM_MANIFEST_3-3.new"));  // a rewrite cut short

    const std::vector<RecoverableDocument> found = CollectLeftovers(work);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].original, "OLM_NEW_3.wav") << "oldest change first";
    EXPECT_EQ(found[1].original, music + "/song.wav");
    EXPECT_EQ(found[1].working, in("OLM_BACKUP_1"));

    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(work)) left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"OLM_BACKUP_1", "OLM_MANIFEST_1-1", "OLM_MANIFEST_2-2", "OLM_NEW_3.wav",
                                              "OLM_UNDO_9", "Pad_1-00-00.aif", "Pad_10-00-00-.aif", "Piano.aif",
                                              "mine.wav"}));
    EXPECT_FALSE(platform::FileExists(music + "/.song.wav.saving-10-00-00"));
    EXPECT_TRUE(platform::FileExists(music + "/.other.wav.saving-10-00-00"));
    EXPECT_FALSE(platform::FileExists(music + "/.x.wav.saving-1"));
    EXPECT_TRUE(platform::FileExists(music + "/song.wav"));
    EXPECT_TRUE(platform::FileExists(music + "/OLM_UNDO_5"));

    // A second start finds the same two; taking one and discarding the other clears the folder.
    const std::vector<RecoverableDocument> again = CollectLeftovers(work);
    ASSERT_EQ(again.size(), 2u);
    ForgetLeftover(again[0]);
    DiscardLeftover(again[1]);
    EXPECT_TRUE(platform::FileExists(in("OLM_NEW_3.wav"))) << "now another document's working file";
    EXPECT_FALSE(platform::FileExists(in("OLM_BACKUP_1")));
    EXPECT_FALSE(platform::FileExists(in("OLM_MANIFEST_1-1")));
    EXPECT_TRUE(CollectLeftovers(work).empty());
}

TEST(Leftovers, AManifestIsKeptWhileItsProcessRunsAndGoesWhenItEnds) {
    TempDir dir;
    {
        ManifestKeeper keeper;
        Manifest manifest;
        manifest.documents.push_back({"/m/a.wav", "a.wav", dir.File("OLM_BACKUP_1"), true, "", "", "", true, 0, std::nullopt});
        keeper.Write(dir.Path(), manifest);
        ASSERT_TRUE(platform::FileExists(keeper.Path()));
        const auto text = ReadAll(keeper.Path());
        const auto read = ParseManifest(std::string(text.begin(), text.end()));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->process, platform::CurrentProcess());
        const std::int64_t since = read->documents.at(0).changedSince;
        EXPECT_GT(since, 0);
        Touch(dir.File("OLM_BACKUP_1"));
        EXPECT_TRUE(CollectLeftovers(dir.Path()).empty()) << "the process runs";

        // Another change of the same document keeps the time it first changed.
        manifest.documents.push_back({"/m/b.wav", "b.wav", dir.File("OLM_BACKUP_2"), true, "", "", "", false, 0, std::nullopt});
        ::sleep(1);
        keeper.Write(dir.Path(), manifest);
        const auto later = ReadAll(keeper.Path());
        EXPECT_EQ(ParseManifest(std::string(later.begin(), later.end()))->documents.at(0).changedSince, since);
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"OLM_BACKUP_1"});
}

TEST(Leftovers, AProcessWithAReusedIdCountsAsEnded) {
    platform::ProcessIdentity self = platform::CurrentProcess();
    EXPECT_TRUE(platform::ProcessRuns(self));
    ++self.startTicks;
    EXPECT_FALSE(platform::ProcessRuns(self));
    EXPECT_FALSE(platform::ProcessRuns(DeadProcess()));
}
