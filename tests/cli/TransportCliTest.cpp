// pelmora-cli's transport commands on the null device: the program plays to the end before it
// exits, disabled commands fail with their reason, and the messages go on during wait only.

#include <gtest/gtest.h>

#include <chrono>

#include "support/AudioFiles.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using namespace pelmora::test;

namespace {

class TransportCli : public ::testing::Test {
protected:
    CliRun Pelmora(const std::string& arguments) { return RunCli(PELMORA_CLI_PATH, dir, arguments); }
    std::string Quoted(const std::string& name) const { return "'" + dir.File(name) + "'"; }
    TempDir dir;
};

TEST_F(TransportCli, PlayWaitsForTheEndOfTheSoundBeforeExiting) {
    WriteIndexWav(dir.File("kick.wav"), 44100, 2, 17640);
    NullAudio audio("", dir.File("out.wav"));
    const auto start = std::chrono::steady_clock::now();
    const CliRun run = Pelmora("open " + Quoted("kick.wav") + " devices play");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(380));
    EXPECT_NE(run.out.find("* 0 Null Output"), std::string::npos) << run.out;
    const std::vector<std::uint8_t> out = WavData(dir.File("out.wav")), source = WavData(dir.File("kick.wav"));
    ASSERT_GE(out.size(), source.size());
    EXPECT_TRUE(std::equal(source.begin(), source.end(), out.begin()));
}

TEST_F(TransportCli, DisabledCommandsFailWithTheirReason) {
    ASSERT_EQ(std::system(("sox -n -r 8000 -b 24 -c 1 -t wavpcm " + Quoted("wide.wav") + " synth 0.1 sine 440").c_str()), 0);
    NullAudio audio("", "");
    struct Case {
        const char* commands;
        const char* reason;
    } cases[] = {
        {"play", "only 8- and 16-bit sounds can be played"},
        {"select 0 10 region-play", "only 8- and 16-bit sounds can be played"},
        {"record", "only 8- and 16-bit sounds can be recorded"},
    };
    for (const Case& c : cases) {
        const CliRun run = Pelmora("open " + Quoted("wide.wav") + " " + c.commands);
        EXPECT_EQ(run.status, 1) << c.commands;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
}

TEST_F(TransportCli, StopLocateAndCommandsRefusedWhilePlaying) {
    WriteIndexWav(dir.File("long.wav"), 44100, 1, 441000);
    NullAudio audio("", dir.File("out.wav"));
    const auto start = std::chrono::steady_clock::now();
    CliRun run = Pelmora("open " + Quoted("long.wav") + " locate 44100 play wait 0.3 stop info");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    const std::vector<std::uint8_t> out = WavData(dir.File("out.wav")), source = WavData(dir.File("long.wav"));
    ASSERT_GE(out.size(), 2 * 22050u);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 2 * 22050, source.begin() + 2 * 44100));  // from the location

    run = Pelmora("open " + Quoted("long.wav") + " play gain 50");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("disabled while a sound plays or records"), std::string::npos) << run.err;
    run = Pelmora("open " + Quoted("long.wav") + " play locate 5");
    EXPECT_EQ(run.status, 1);
}

TEST_F(TransportCli, RecordWithASleepingInterfaceThreadLosesNothing) {
    WriteIndexWav(dir.File("in.wav"), 22050, 1, 44100, 3);
    WriteIndexWav(dir.File("target.wav"), 22050, 1, 33075);
    NullAudio audio(dir.File("in.wav"), "");
    const CliRun run = Pelmora("open " + Quoted("target.wav") + " locate 11025 record sleep 1200 wait 5 save-as " +
                               Quoted("recorded.wav"));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::int16_t> got = Samples16(WavData(dir.File("recorded.wav")));
    ASSERT_EQ(got.size(), 33075u);
    for (std::size_t f = 0; f < 11025; ++f) ASSERT_EQ(got[f], static_cast<std::int16_t>(f + 1)) << f;
    for (std::size_t f = 0; f < 22050; ++f) ASSERT_EQ(got[11025 + f], static_cast<std::int16_t>(f + 3)) << f;
}

}  // namespace
