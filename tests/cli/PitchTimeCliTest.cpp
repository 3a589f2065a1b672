// pelmora-cli pitch, pitch-cents and time: lengths, the dialogs' corrections, and the refusals.

#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

using namespace pelmora::test;

namespace {

class PitchTimeCli : public ::testing::Test {
protected:
    CliRun Pelmora(const std::string& arguments) { return RunCli(PELMORA_CLI_PATH, dir, "--quiet " + arguments); }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
    TempDir dir;
    const std::string sine = "new wav 2 16 44100 sine half 440 100000 ";
};

}  // namespace

TEST_F(PitchTimeCli, LengthsAndCorrections) {
    const std::string out = dir.File("out.wav");
    // Pitch keeps the length; time makes the selection exactly as long as asked, the rest follows.
    CliRun run = Pelmora(sine + "select 1000 91000 pitch 110 pitch-cents -200 time 72000 info save-as '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "frames: 82000")) << run.out;
    EXPECT_TRUE(Has(run.out, "selection_end: 73000")) << run.out;
    EXPECT_EQ(SndfileSamples(out).size(), 2u * 82000);
    // Values outside the limits go on as the dialog corrects them.
    run = Pelmora(sine + "select-all pitch-cents 1200 pitch 130 time 200000 info");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "frames: 125000")) << run.out;
}

TEST_F(PitchTimeCli, Refusals) {
    CliRun run = Pelmora(sine + "select-all channels left time 90000");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "both channels")) << run.err;
    run = Pelmora(sine + "select 5 8 time 3");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "shorter than 4 frames")) << run.err;
    run = Pelmora(sine + "select 0 0 pitch 110");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "the selection is empty")) << run.err;
    run = Pelmora(sine + "select-all pitch 1l0");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Has(run.err, "PERCENT must be a number")) << run.err;
    run = Pelmora(sine + "select-all pitch-cents 12.5");
    EXPECT_EQ(run.status, 2);
    run = Pelmora(sine + "select-all time many");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Has(run.err, "FRAMES must be a whole number")) << run.err;
}
