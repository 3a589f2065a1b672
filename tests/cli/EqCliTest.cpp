// pelmora-cli eq: the dialog's corrections go on, flat bands change nothing and succeed, and
// what the dialog would refuse is a usage error.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "edit/EqDesign.h"
#include "support/CliRunner.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class EqCli : public ::testing::Test {
protected:
    CliRun Pelmora(const std::string& arguments) { return RunCli(PELMORA_CLI_PATH, dir, "--quiet " + arguments); }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
    // The level of the sound in dB against the original, from libsndfile's reading.
    static double LevelDb(const std::vector<std::int32_t>& after, const std::vector<std::int32_t>& before) {
        double a = 0, b = 0;
        for (std::size_t i = 0; i < after.size(); ++i) {
            a += static_cast<double>(after[i]) * after[i];
            b += static_cast<double>(before[i]) * before[i];
        }
        return 10 * std::log10(a / b);
    }

    TempDir dir;
    // 16-bit stereo sine waves at 44100 Hz, 0.5 s at 5 % of full scale (room for +20 dB).
    std::string Tone(int frequency) {
        return "new wav 2 16 44100 sine half " + std::to_string(frequency) + " 22050 select-all gain 10 ";
    }
};

}  // namespace

TEST_F(EqCli, BandsChangeTheLevelAsTheGraphShows) {
    struct Case {
        int tone;
        const char* words;
        EqBands bands;  // what the words become
        double db;      // the level change expected, roughly
    };
    const EqBand flatLow{EqBandType::Peak, 0, 100, 1}, flatMid{EqBandType::Peak, 0, 1000, 1},
        flatHigh{EqBandType::Peak, 0, 10000, 1};
    const Case cases[] = {
        // A peak on the tone.
        {1000, "0 100 1 6 1000 1 0 10000 1", {{flatLow, {EqBandType::Peak, 6, 1000, 1}, flatHigh}}, 6.0},
        // A low shelf a decade above the tone.
        {100, "-6 1000 LSF 0 1000 1 0 10000 1", {{{EqBandType::LowShelf, -6, 1000, 0}, flatMid, flatHigh}}, -5.9},
        // +25 is +20, far more than the shelf's coefficients can hold: much less comes out.
        {15000, "0 100 1 0 1000 1 25 5000 HSF", {{flatLow, flatMid, {EqBandType::HighShelf, 20, 5000, 0}}}, 12.1},
        // A cut far away.
        {1000, "0 100 1 0 1000 1 -4 10000 1", {{flatLow, flatMid, {EqBandType::Peak, -4, 10000, 1}}}, 0.0},
    };
    for (const Case& c : cases) {
        const std::string before = dir.File("before.wav"), after = dir.File("after.wav");
        std::filesystem::remove(before);
        std::filesystem::remove(after);
        ASSERT_EQ(Pelmora(Tone(c.tone) + "save-as '" + before + "'").status, 0);
        const CliRun run = Pelmora("open '" + before + "' select-all eq " + c.words + " save-as '" + after + "'");
        ASSERT_EQ(run.status, 0) << run.err;
        const double level = LevelDb(SndfileSamples(after), SndfileSamples(before));
        EXPECT_NEAR(level, c.db, 0.3) << c.words;
        EXPECT_NEAR(level, EqResponseDb(EqDesignCascade(c.bands, 44100), c.tone, 44100), 0.1) << c.words;
    }
}

TEST_F(EqCli, FlatBandsAndRefusals) {
    const std::string before = dir.File("before.wav");
    // All gains 0: success, and nothing to save or undo.
    CliRun run = Pelmora("new wav 2 16 44100 sine half 440 22050 select-all save-as '" + before + "' eq 0 100 LSF 0.0 1000 1 -0.0 10000 HSF info undo");
    ASSERT_EQ(run.status, 1) << run.err;  // undo has nothing to take back
    EXPECT_TRUE(Has(run.err, "nothing to undo")) << run.err;
    EXPECT_TRUE(Has(run.out, "modified: 0")) << run.out;

    run = Pelmora(Tone(440) + "select 0 0 eq 3 100 1 0 1000 1 0 10000 1");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "the selection is empty")) << run.err;

    run = Pelmora(Tone(440) + "eq 3 100 1 0 1000 MSF 0 10000 1");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Has(run.err, "MQ must be a number")) << run.err;
    run = Pelmora(Tone(440) + "eq 3 100 1 0 1000 1 0 10000.5 1");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Has(run.err, "HF")) << run.err;
}
