// Pitch Shift against its reference written from the steps: every width and file type, both
// directions, every channel choice, selections shorter than one segment and longer than one
// block; undo and redo bring back both states.

#include <gtest/gtest.h>

#include <cmath>

#include "AmplitudeTestBed.h"
#include "SpliceReference.h"
#include "edit/PitchShift.h"
#include "edit/SpliceMath.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class PitchShiftTest : public AmplitudeTestBed {
protected:
    void ExpectRate(COLMDoc& doc, std::uint32_t start, std::uint32_t end, ChannelChoice channels, double rate) {
        ExpectOperation(
            doc, start, end, channels, [rate](COLMDoc& d) { return PitchShift(d, rate); },
            [rate](SampleGrid& g, const EditScope& sc) { reference::PitchShift(g, sc, rate); },
            "rate " + std::to_string(rate) + " " + std::to_string(start) + ".." + std::to_string(end));
    }
};

}  // namespace

TEST_F(PitchShiftTest, UpAndDownOnEveryKind) {
    unsigned seed = 100;
    for (double rate : {112.5, 93.0}) {
        ExpectOnEveryKind([rate](COLMDoc& d) { return PitchShift(d, rate); },
                          [rate](SampleGrid& g, const EditScope& sc) { reference::PitchShift(g, sc, rate); },
                          "pitch " + std::to_string(rate), seed);
        seed += 50;
    }
}

// Selections over several blocks, where remainders carry into the next block, at the limits and
// near 100 %.
TEST_F(PitchShiftTest, LongSelectionsAtTheLimitsAndNearUnity) {
    struct Case {
        SoundKind kind;
        ChannelChoice channels;
        double rate;
    };
    const Case cases[] = {
        {{FileType::Wav, 2, 2}, ChannelChoice::Both, 125.0},    // shortest segments up
        {{FileType::Wav, 2, 2}, ChannelChoice::Right, 75.0},    // shortest segments down
        {{FileType::Aiff, 3, 1}, ChannelChoice::Both, 101.0},   // longest segments up
        {{FileType::Wav, 4, 2}, ChannelChoice::Left, 99.5},     // near unity down
        {{FileType::Aiff, 1, 2}, ChannelChoice::Both, 117.3},   // 8-bit, odd rate
    };
    unsigned seed = 7;
    for (const Case& c : cases) {
        COLMDoc& doc = RandomSound(c.kind, 120000, seed++);
        ExpectRate(doc, 777, 118500, c.channels, c.rate);
        app.Discard(doc);
    }
}

// 100 %: processed by the pitch-down members, whose search finds nothing to splice.
TEST_F(PitchShiftTest, UnityLeavesTheSamples) {
    COLMDoc& doc = RandomSound({FileType::Wav, 2, 2}, 70000, 3);
    const auto before = ReadAll(doc.WorkingPath());
    ASSERT_TRUE(SelectFrames(doc, 10, 69000));
    ASSERT_TRUE(PitchShift(doc, 100.0));
    EXPECT_EQ(ReadAll(doc.WorkingPath()), before);
    EXPECT_FALSE(PitchShift(doc, 125.5));  // outside the range: nothing runs
    EXPECT_FALSE(PitchShift(doc, 74.9));
}

TEST(SpliceWidths, AtTheLimitsAndTheSmallestChange) {
    EXPECT_EQ(splice::PitchUpWidth(1.25), 4999);
    EXPECT_EQ(splice::PitchDownWidth(0.75), 4999);
    EXPECT_EQ(splice::PitchUpWidth(1.01), 20000);
    EXPECT_EQ(splice::PitchDownWidth(0.99), 20000);
    EXPECT_EQ(splice::CompressionWidth(0.75), 2500);
    EXPECT_EQ(splice::ExpansionWidth(1.25), 2500);
    EXPECT_EQ(splice::CompressionWidth(0.99), 20000);
    EXPECT_EQ(splice::ExpansionWidth(1.01), 20000);
}

// The splice crossfades of pitch up and expansion. As first written they rise from the repeated
// copy towards the original, which leaves a step at both ends of the splice; run the other way
// they join like the compression and pitch-down splices. The largest step between neighbouring
// frames, over the largest step of the input, on a slow ramp and on a sine.
TEST(SpliceWeights, TheRepeatedCopyFadesInWithoutAStep) {
    const EditScope scope{0, 60000, 0, 1, 2, 16};
    const auto ramp = [](std::uint32_t f) { return static_cast<std::int64_t>(f / 2) - 15000; };
    const auto sine = [](std::uint32_t f) { return static_cast<std::int64_t>(10000 * std::sin(f * 2 * M_PI / 97.3)); };
    const auto largestStep = [](const SampleGrid& g, std::uint32_t frames) {
        std::int64_t step = 0;
        for (std::uint32_t f = 1; f < frames; ++f) step = std::max(step, std::abs(g.At(f, 0) - g.At(f - 1, 0)));
        return step;
    };
    struct Figure {
        std::string what;
        double rising, falling;
    };
    std::vector<Figure> figures;
    for (const auto& [signalName, make] : {std::pair{"ramp", std::function<std::int64_t(std::uint32_t)>(ramp)},
                                             std::pair{"sine", std::function<std::int64_t(std::uint32_t)>(sine)}}) {
        SampleGrid input;
        for (std::uint32_t f = 0; f < scope.end; ++f) input.values.push_back(make(f));
        const double inputStep = static_cast<double>(largestStep(input, scope.end));
        const auto measure = [&](const std::function<void(SampleGrid&, bool)>& run) {
            SampleGrid rising = input, falling = input;
            run(rising, true);
            run(falling, false);
            const auto frames = static_cast<std::uint32_t>(falling.values.size());
            return std::pair{largestStep(rising, frames) / inputStep, largestStep(falling, frames) / inputStep};
        };
        const auto pitch = [&](double rate) {
            return measure([&](SampleGrid& g, bool rising) { reference::PitchShift(g, scope, rate, rising); });
        };
        const auto time = [&](std::uint32_t modified) {
            return measure([&](SampleGrid& g, bool rising) { reference::TimeChange(g, 0, scope.end, modified, scope, rising); });
        };
        const auto up = pitch(110), down = pitch(90), expand = time(66000), compress = time(54000);
        const std::string name = signalName;
        figures.push_back({name + " pitch 110 %", up.first, up.second});
        figures.push_back({name + " expansion 110 %", expand.first, expand.second});
        figures.push_back({name + " pitch 90 %", down.first, down.second});
        figures.push_back({name + " compression 90 %", compress.first, compress.second});
        // The mended splices step no more than the members that were right from the start.
        const double worstSound = std::max(down.second, compress.second) * 1.5 + 2;
        EXPECT_LE(up.second, worstSound) << name;
        EXPECT_LE(expand.second, worstSound) << name;
        EXPECT_GT(up.first, up.second) << name;
        EXPECT_GT(expand.first, expand.second) << name;
    }
    for (const Figure& f : figures)
        std::printf("%-24s rising %9.1f   falling %9.1f  (largest step / input's largest step)\n", f.what.c_str(), f.rising,
                    f.falling);
}
