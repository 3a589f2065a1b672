// pelmora-cli as a user runs it: exit status, what it prints, and what it leaves on disk.

#include <gtest/gtest.h>

#include <filesystem>

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

    TempDir dir;
};

}  // namespace

TEST_F(Cli, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Pelmora("").status, 2);
    EXPECT_EQ(Pelmora("frobnicate").status, 2);
    EXPECT_EQ(Pelmora("open").status, 2);  // missing its argument
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

TEST_F(Cli, TheEndOfARunAnswersTheCloseQuestions) {
    CliRun no = Pelmora("new wav 1 16 44100 silence full 220 1000");
    EXPECT_EQ(no.status, 0);
    EXPECT_NE(no.err.find("Do you save this file ?"), std::string::npos);
    EXPECT_EQ(FilesInWorkDir(), 0u);  // the new file is not kept without a name

    // File Backup: the changed copy is offered for the original; --yes takes it.
    EXPECT_EQ(Pelmora("new wav 1 16 44100 sine full 220 1000 save-as '" + dir.File("s.wav") + "'").status, 0);
    CliRun keep = Pelmora("--no-backup open '" + dir.File("s.wav") + "' close");
    EXPECT_EQ(keep.status, 0);
    EXPECT_TRUE(keep.err.empty()) << keep.err;
}
