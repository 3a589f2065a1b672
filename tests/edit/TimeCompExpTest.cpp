// Time Comp/Exp against its reference written from the steps: exact lengths, the selection's new
// frames, the frames after it moved, the loop, undo and redo; and the chunks on their own, which
// must stay inside their input and output whatever they are given.

#include <gtest/gtest.h>

#include <random>

#include "AmplitudeTestBed.h"
#include "SpliceReference.h"
#include "edit/TimeChunks.h"
#include "edit/TimeCompExp.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class TimeCompExpTest : public AmplitudeTestBed {
protected:
    void ExpectTimeChange(COLMDoc& doc, std::uint32_t s, std::uint32_t e, std::uint32_t modified) {
        const std::string what = doc.Info().fileType == FileType::Wav ? "wav " : "aiff ";
        const std::string name = what + std::to_string(doc.Info().bitsPerSample) + "-bit " +
                                 std::to_string(doc.Info().channels) + "ch " + std::to_string(s) + ".." +
                                 std::to_string(e) + " to " + std::to_string(modified);
        ASSERT_TRUE(SelectChannels(doc, ChannelChoice::Both));
        ASSERT_TRUE(SelectFrames(doc, s, e));
        const auto fileBefore = ReadAll(doc.WorkingPath());
        const std::uint32_t framesBefore = doc.Info().frames;
        SampleGrid expected = Read(doc);
        reference::TimeChange(expected, s, e, modified, ScopeOf(doc));
        ASSERT_TRUE(TimeCompExp(doc, modified)) << name;
        EXPECT_EQ(doc.Info().frames, framesBefore - (e - s) + modified) << name;
        EXPECT_EQ(doc.selectionEnd, s + modified) << name;
        const SampleGrid after = Read(doc);
        ASSERT_EQ(after.values.size(), expected.values.size()) << name;
        for (std::size_t i = 0; i < after.values.size(); ++i) {
            if (after.values[i] != expected.values[i]) {
                ADD_FAILURE() << name << ": frame " << i / after.channels << " channel " << i % after.channels
                              << " is " << after.values[i] << ", expected " << expected.values[i];
                break;
            }
        }
        const auto fileAfter = ReadAll(doc.WorkingPath());
        doc.Undo().UndoOrRedo(doc);
        EXPECT_EQ(ReadAll(doc.WorkingPath()), fileBefore) << name << ": undo";
        doc.Undo().UndoOrRedo(doc);
        EXPECT_EQ(ReadAll(doc.WorkingPath()), fileAfter) << name << ": redo";
        doc.Undo().UndoOrRedo(doc);
        EXPECT_EQ(ReadAll(doc.WorkingPath()), fileBefore) << name << ": second undo";
    }
};

}  // namespace

// Every width, both file types, one and two channels; selections shorter than a segment, about
// one chunk, and at the start and end of the sound; the limits and 100 %.
TEST_F(TimeCompExpTest, ShortSelectionsOnEveryKind) {
    unsigned seed = 11;
    for (const SoundKind& kind : EveryKind()) {
        COLMDoc& doc = RandomSound(kind, 30000, seed++);
        const std::pair<std::uint32_t, std::uint32_t> selections[] = {{0, 4}, {100, 107}, {5, 2405}, {250, 26000}, {9000, 30000}};
        for (auto [s, e] : selections) {
            const TimeLengthLimits limits = TimeLengthLimitsFor(e - s);
            for (std::uint32_t modified : {limits.min, limits.max, (e - s) * 9 / 10 + 1, (e - s) * 11 / 10, e - s})
                ExpectTimeChange(doc, s, e, modified);
        }
        app.Discard(doc);
    }
}

// Selections of several chunks: the chunk plans, the carried remainders and the last chunk's
// exact count, at the limits and at one frame of change, where every segment is a plain copy.
TEST_F(TimeCompExpTest, LongSelectionsEndWithExactlyTheModifiedLength) {
    COLMDoc& doc = RandomSound({FileType::Wav, 2, 2}, 160000, 5);
    const std::uint32_t s = 1000, e = 151000, n = e - s;
    for (std::uint32_t modified : {n * 3 / 4, n * 5 / 4, n * 4 / 5, n - 1, n + 1, n + 37, n - 4000})
        ExpectTimeChange(doc, s, e, modified);
    app.Discard(doc);
    COLMDoc& aiff = RandomSound({FileType::Aiff, 3, 1}, 100000, 6);
    ExpectTimeChange(aiff, 0, 100000, 80000);
    ExpectTimeChange(aiff, 0, 100000, 124999);
    app.Discard(aiff);
}

// 80 % of 100000 frames: 80000 frames, the following frames 20000 earlier and unchanged, the
// loop after the selection moved with them and one that starts at its end too.
TEST_F(TimeCompExpTest, FollowingFramesAndLoopMove) {
    COLMDoc& doc = RandomSound({FileType::Wav, 2, 1}, 130000, 9);
    const SampleGrid before = Read(doc);
    struct Case {
        std::uint32_t loopStart, loopEnd, lock;
        std::uint32_t start, end, lockAfter;  // where the loop lands
    };
    const Case cases[] = {
        {110000, 120000, 1, 90000, 100000, 1},  // wholly after: moves by −20000
        {100100, 120000, 2, 80100, 100000, 2},  // starts at the selection's end: moves too
        {50100, 120000, 1, 40100, 100000, 0},   // starts inside: scaled, end moved
        {50000, 90100, 1, 40020, 72100, 0},     // wholly inside: both scaled
        {10, 90, 1, 10, 90, 1},                 // before: stays
    };
    for (const Case& c : cases) {
        doc.Info().loopStart = c.loopStart;
        doc.Info().loopEnd = c.loopEnd;
        doc.loopLock = c.lock;
        ASSERT_TRUE(SelectFrames(doc, 100, 100100));
        ASSERT_TRUE(TimeCompExp(doc, 80000));
        EXPECT_EQ(doc.Info().frames, 110000u);
        EXPECT_EQ(doc.Info().loopStart, c.start) << c.loopStart;
        EXPECT_EQ(doc.Info().loopEnd, c.end) << c.loopStart;
        EXPECT_EQ(doc.loopLock, c.lockAfter) << c.loopStart;
        const SampleGrid after = Read(doc);
        for (std::uint32_t f = 80100; f < 110000; f += 997) EXPECT_EQ(after.At(f, 0), before.At(f + 20000, 0));
        for (std::uint32_t f = 0; f < 100; ++f) EXPECT_EQ(after.At(f, 0), before.At(f, 0));
        doc.Undo().UndoOrRedo(doc);
    }
    app.Discard(doc);
}

TEST_F(TimeCompExpTest, OnlyWithEveryChannelAndFourFrames) {
    COLMDoc& doc = RandomSound({FileType::Wav, 2, 2}, 1000, 1);
    ASSERT_TRUE(SelectFrames(doc, 10, 13));
    EXPECT_FALSE(TimeCompExpApplies(doc));  // 3 frames: 125 % of them is 3
    EXPECT_FALSE(TimeCompExp(doc, 3));
    ASSERT_TRUE(SelectFrames(doc, 10, 14));
    EXPECT_TRUE(TimeCompExpApplies(doc));
    EXPECT_FALSE(TimeCompExp(doc, 6));  // above 125 %
    EXPECT_FALSE(TimeCompExp(doc, 2));  // below 75 %
    ASSERT_TRUE(SelectChannels(doc, ChannelChoice::Left));
    EXPECT_FALSE(TimeCompExpApplies(doc));
    EXPECT_FALSE(TimeCompExp(doc, 5));
    EXPECT_FALSE(doc.DataChanged());
}

// The chunks alone, given awkward counts: what they make stays inside the planned output, a last
// chunk uses all its input and makes all its output, and nothing outside is written.
TEST(TimeChunks, StayInsideTheirInputAndOutput) {
    struct Case {
        std::int64_t in, out;
        bool last;
        double q;
    };
    const Case cases[] = {
        {32768, 26214, false, 0.8},  {32768, 24576, false, 0.75}, {20000, 15000, true, 0.75},
        {3, 2, true, 0.75},          {30000, 29999, true, 0.99},  {32768, 32767, false, 0.99999},
        {4, 5, true, 1.25},          {10, 25, true, 1.25},        {1, 7, true, 1.0001},
        {26214, 32768, false, 1.25}, {32767, 32768, false, 1.00001}, {12000, 32768, true, 1.00002},
        {25000, 25000, true, 1.0},   {5000, 6250, true, 1.25},    {2600, 2601, true, 1.25},
    };
    std::mt19937 random(4);
    std::uniform_int_distribution<std::int32_t> any(-32768, 32767);
    const splice::SampleRange clamp{-32768, 32767};
    constexpr std::int32_t kUntouched = 123456;
    for (const Case& c : cases) {
        PlanarFrames in, out;
        in.Reserve(2, static_cast<std::size_t>(c.in));
        for (std::int32_t& v : in.samples) v = any(random);
        out.Reserve(2, static_cast<std::size_t>(c.out));
        std::fill(out.samples.begin(), out.samples.end(), kUntouched);
        const bool compress = c.q < 1;
        const ChunkResult made = compress ? CompressChunk(in, c.in, out, c.out, c.last, c.q, clamp)
                                          : ExpandChunk(in, c.in, out, c.out, c.last, c.q, clamp);
        const std::string what = std::to_string(c.in) + " to " + std::to_string(c.out);
        EXPECT_LE(made.consumed, c.in) << what;
        EXPECT_LE(made.produced, c.out) << what;
        EXPECT_GT(made.produced, 0) << what;
        EXPECT_GE(made.consumed - made.produced, compress ? 0 : c.in - c.out) << what;
        if (c.last) {
            EXPECT_EQ(made.consumed, c.in) << what;
            EXPECT_EQ(made.produced, c.out) << what;
        }
        // Made frames are written, the rest are not.
        for (std::size_t ch = 0; ch < 2; ++ch) {
            for (std::int64_t k = 0; k < c.out; ++k) {
                const bool made_ = compress ? k < made.produced : k >= c.out - made.produced;
                if ((out.Channel(ch)[k] == kUntouched) == made_) {
                    ADD_FAILURE() << what << ": output frame " << k << (made_ ? " not written" : " written");
                    break;
                }
            }
        }
    }
}
