// The MP3 commands of pelmora-cli as a script uses them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/CliRunner.h"
#include "support/TempDir.h"

using namespace pelmora::test;

namespace {

class Mp3Cli : public ::testing::Test {
protected:
    CliRun Pelmora(const std::string& arguments) { return RunCli(PELMORA_CLI_PATH, dir, arguments); }
    std::size_t Mp3TempFiles() {
        std::size_t count = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
            count += e.path().filename().string().rfind("MP3_", 0) == 0;
        return count;
    }
    TempDir dir;
};

const char* kStereoSine = "new wav 2 16 44100 sine half 440 22050 ";

}  // namespace

TEST_F(Mp3Cli, FormatsAreTheListAndNothingElse) {
    CliRun run = Pelmora(std::string(kStereoSine) + "mp3-formats 2");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 28);
    EXPECT_EQ(run.out.rfind("320kbps-44.100kHz,Stereo\n256kbps-44.100kHz,Stereo\n", 0), 0u);
    EXPECT_NE(run.out.find("\n128kbps-44.100kHz,Stereo\n112kbps"), std::string::npos);

    CliRun low = Pelmora("new wav 1 16 4000 silence full 220 100 mp3-formats 0");
    EXPECT_EQ(low.status, 1);
    EXPECT_TRUE(low.out.empty());
    EXPECT_NE(low.err.find("Failed to encode!"), std::string::npos);
    EXPECT_EQ(Pelmora(std::string(kStereoSine) + "mp3-formats 3").status, 2);
}

TEST_F(Mp3Cli, ExportTagAndImportBack) {
    const std::string mp3 = dir.File("song.mp3");
    CliRun run = Pelmora(std::string(kStereoSine) + "tag 'Caf\xC3\xA9' Band '' 1999 'Note' 9 31 export-mp3 '" +
                         mp3 + "' 5 1 tag import-mp3 '" + mp3 + "' info");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("frames: 22050\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("modified: 1\n"), std::string::npos);
    EXPECT_NE(run.out.find("tag_title: Caf\xC3\xA9\ntag_artist: Band\ntag_album: \ntag_year: 1999\n"
                           "tag_comment: Note\ntag_track: 9\ntag_genre: 31\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Mp3TempFiles(), 0u);  // the imported document was closed without saving

    CliRun badTrack = Pelmora(std::string(kStereoSine) + "tag a b c d e 256 0");
    EXPECT_EQ(badTrack.status, 1);
    EXPECT_NE(badTrack.err.find("Track must be in the range of 1 to 255."), std::string::npos);
    EXPECT_EQ(Pelmora(std::string(kStereoSine) + "tag '\xE2\x82\xAC' b c d e 1 0").status, 2);
    EXPECT_EQ(Pelmora(std::string(kStereoSine) + "export-mp3 x.mp3 28 0 tag").status, 2);
}

TEST_F(Mp3Cli, ARenamedWavIsRefused) {
    ASSERT_EQ(Pelmora(std::string(kStereoSine) + "save-as '" + dir.File("s.wav") + "'").status, 0);
    std::filesystem::rename(dir.File("s.wav"), dir.File("s.mp3"));
    CliRun run = Pelmora("import-mp3 '" + dir.File("s.mp3") + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("input file doesn't seem to be MPEG Layer-3"), std::string::npos);
    EXPECT_EQ(Mp3TempFiles(), 0u);
}
