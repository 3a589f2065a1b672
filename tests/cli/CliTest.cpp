// pelmora-cli as a user runs it: exit status, what it prints, and what it leaves on disk.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/CliRunner.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

using namespace pelmora::test;

namespace {

class Cli : public ::testing::Test {
protected:
    CliRun Pelmora(const std::string& arguments) { return RunCli(PELMORA_CLI_PATH, dir, arguments); }

    std::size_t FilesInWorkDir() {
        std::size_t count = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
            count += e.path().filename().string().rfind("OLM_", 0) == 0;
        return count;
    }

    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    TempDir dir;
};

}  // namespace

TEST_F(Cli, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Pelmora("").status, 2);
    EXPECT_EQ(Pelmora("frobnicate").status, 2);
    EXPECT_EQ(Pelmora("open").status, 2);  // missing its argument
    CliRun missing = Pelmora("--workdir '" + dir.File("nowhere") + "' new wav 1 16 44100 silence full 220 100");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("--workdir: not a folder"), std::string::npos) << missing.err;
    CliRun bad = Pelmora("new wav 3 16 44100 silence full 220 100");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("CH must be one of 1/2"), std::string::npos);
}

TEST_F(Cli, NewInfoSaveAsAndReopen) {
    const std::string target = dir.File("tone.aif");
    CliRun made = Pelmora("new aiff 1 24 32000 square half 100 1500ms info save-as '" + target +
                       "' info");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.out.find("file_type: AIFF\nrate: 32000\nbits: 24\nchannels: 1\nframes: 48000\n"
                            "data_offset: 512\n"),
              std::string::npos)
        << made.out;
    EXPECT_NE(made.out.find("modified: 1"), std::string::npos);
    EXPECT_NE(made.out.find("modified: 0"), std::string::npos);
    EXPECT_NE(made.out.find("summary: 32000Hz / 24bit / Mono / No Loop / AIFF / 00:00:01:500 / "
                            "48000 sample / 144000 byte"),
              std::string::npos);
    auto view = ReadWithSox(target);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->frames, 48000);
    EXPECT_EQ(FilesInWorkDir(), 0u);

    CliRun reopened = Pelmora("open '" + target + "' info");
    EXPECT_EQ(reopened.status, 0);
    EXPECT_NE(reopened.out.find("frames: 48000"), std::string::npos);
    EXPECT_NE(reopened.out.find("modified: 0"), std::string::npos);
}

TEST_F(Cli, FailuresShowTheMessageAndStopTheRun) {
    CliRun missing = Pelmora("open '" + dir.File("none.wav") + "' info");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "File not found.\n");
    EXPECT_TRUE(missing.out.empty());

    CliRun rate = Pelmora("new wav 2 16 3999 silence full 220 100");
    EXPECT_EQ(rate.status, 1);
    EXPECT_EQ(rate.err, "Sample rate must be in the range of 4000 to 200000.\n");
    EXPECT_EQ(FilesInWorkDir(), 0u);
}

TEST_F(Cli, TheEndOfARunNeverSaves) {
    CliRun fresh = Pelmora("--yes new wav 1 16 44100 silence full 220 1000");
    EXPECT_EQ(fresh.status, 0);
    EXPECT_NE(fresh.err.find("closed without saving"), std::string::npos) << fresh.err;
    EXPECT_EQ(FilesInWorkDir(), 0u);  // the new file is not kept without a name

    const std::string song = dir.File("s.wav");
    ASSERT_EQ(Pelmora("new wav 1 16 44100 sine full 220 1000 save-as '" + song + "'").status, 0);
    const std::string before = ReadBytes(song);
    // --yes answers the questions of the commands, not a closing question nobody asked for.
    CliRun edited = Pelmora("--yes open '" + song + "' select-all gain 50");
    EXPECT_EQ(edited.status, 0);
    EXPECT_NE(edited.err.find("s.wav closed without saving"), std::string::npos) << edited.err;
    EXPECT_EQ(ReadBytes(song), before);
    EXPECT_EQ(FilesInWorkDir(), 0u);

    CliRun untouched = Pelmora("--no-backup open '" + song + "' close");
    EXPECT_EQ(untouched.status, 0);
    EXPECT_TRUE(untouched.err.empty()) << untouched.err;
}

TEST_F(Cli, OpeningAMisalignedAiffChangesNothingOnDisk) {
    // With a one-letter comment sox puts 16-bit stereo data at byte 74, where 512-byte sectors
    // split frames: opening it asks for the HD Play rewrite, which --yes accepts for the working
    // copy only.
    const std::string song = dir.File("f.aif");
    ASSERT_EQ(std::system(("sox -n -r 44100 -b 16 -c 2 --comment a '" + song + "' synth 0.2 sine 440").c_str()), 0);
    const std::string before = ReadBytes(song);
    CliRun run = Pelmora("--yes open '" + song + "' info");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("HD"), std::string::npos) << run.err;  // the rewrite was offered
    EXPECT_EQ(run.out.find("data_offset: 74\n"), std::string::npos) << run.out;  // and made
    EXPECT_EQ(ReadBytes(song), before);
}

TEST_F(Cli, AnExtensibleHeaderFollowsYesAndOtherwiseSaysWhyNot) {
    const std::string wide = dir.File("wide.wav");
    ASSERT_EQ(std::system(("sox -n -r 8000 -b 24 -c 2 '" + wide + "' synth 0.1 sine 300 2>/dev/null").c_str()), 0);
    CliRun no = Pelmora("open '" + wide + "' info");
    EXPECT_EQ(no.status, 1);
    EXPECT_NE(no.err.find("This WAV file has an extensible header. Open it as a plain PCM WAV?\n-> No"),
              std::string::npos) << no.err;
    EXPECT_NE(no.err.find("Unknown Wave PCM format.\nCan't open the file.\n"), std::string::npos) << no.err;
    EXPECT_EQ(FilesInWorkDir(), 0u);

    CliRun yes = Pelmora("--yes open '" + wide + "' info");
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_NE(yes.out.find("bits: 24\nchannels: 2\nframes: 800\n"), std::string::npos) << yes.out;
    EXPECT_NE(yes.out.find("modified: 1"), std::string::npos);

    // Six channels: refused whatever the answer, with the reason.
    const std::string six = dir.File("six.wav");
    ASSERT_EQ(std::system(("sox -n -r 8000 -b 16 -c 6 '" + six + "' synth 0.1 sine 300 2>/dev/null").c_str()), 0);
    CliRun refused = Pelmora("--yes open '" + six + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Unknown Wave PCM format.\nCan't open the file.\nIts extensible header holds more than two channels.\n");
}
