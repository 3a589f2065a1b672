// The amplitude, Mix and crossfade commands of pelmora-cli: dialog corrections go on, the
// operations' messages reach standard error, and what cannot run fails.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "support/CliRunner.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

using namespace pelmora::test;

namespace {

class AmplitudeCli : public ::testing::Test {
protected:
    CliRun Pelmora(const std::string& arguments) {
        return RunCli(PELMORA_CLI_PATH, dir, "--quiet " + arguments);
    }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    TempDir dir;
    // A 16-bit stereo square wave of 8000 frames at half scale (16383).
    const std::string tone = "new wav 2 16 8000 square half 100 8000 ";
};

}  // namespace

TEST_F(AmplitudeCli, EffectsRunAndTheirCorrectionsGoOn) {
    const std::string out = dir.File("out.wav");
    // 150 % is limited to 110 and Normalize goes on with it; 3 dB is rate 141.
    CliRun run = Pelmora(tone + "select-all normalize 150 gain-db 3 fade-in fade-out invert reverse silence "
                         "dc-offset 12 save-as '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    for (std::int32_t v : SndfileSamples(out)) ASSERT_EQ(v, 12 << 16);

    const std::string original = dir.File("original.wav");
    const std::string normalized = dir.File("normalized.wav");
    run = Pelmora(tone + "save-as '" + original + "' select 0 4000 normalize 100 save-as '" + normalized + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto before = SndfileSamples(original), after = SndfileSamples(normalized);
    ASSERT_EQ(after.size(), 16000u);
    std::int32_t peak = 0;
    for (std::size_t i = 0; i < 8000; ++i) peak = std::max(peak, std::abs(after[i] >> 16));
    EXPECT_EQ(peak, 32767);
    EXPECT_TRUE(std::equal(after.begin() + 8000, after.end(), before.begin() + 8000));  // outside the selection
}

TEST_F(AmplitudeCli, MessagesAndFailures) {
    CliRun run = Pelmora(tone + "select 0 100 silence dc-offset auto normalize 100");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.err, "Offset was zero - no data changed.")) << run.err;
    EXPECT_TRUE(Has(run.err, "The selection is silent - no data changed.")) << run.err;

    run = Pelmora(tone + "select 0 100 dc-offset auto");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.err, "is added to each sample.")) << run.err;

    run = Pelmora(tone + "select 5 5 gain 50");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "the selection is empty")) << run.err;
    EXPECT_EQ(Pelmora(tone + "select-all gain loud").status, 2);
    EXPECT_EQ(Pelmora(tone + "select-all dc-offset 123456789").status, 2);
    EXPECT_EQ(Pelmora(tone + "select-all mix").status, 1);  // no clip yet

    run = Pelmora(tone + "crossfade sustain 10 0 linear");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "the loop is empty")) << run.err;
    run = Pelmora(tone + "loop 0 4000 on crossfade sustain 50 0 +exp");
    EXPECT_EQ(run.status, 1);  // a loop at frame 0 leaves no room for a sustain crossfade
    EXPECT_TRUE(Has(run.err, "0 frames long")) << run.err;
    run = Pelmora(tone + "loop 2000 4000 on crossfade release 50 100 -exp select 0 10 copy select 100 100 mix");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Pelmora(tone + "loop 2000 4000 on crossfade both 50 100 -exp").status, 2);
}
