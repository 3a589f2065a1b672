// Loop Crossfade and Mix against per-sample references, and their documented examples.

#include <cmath>

#include "AmplitudeTestBed.h"
#include "edit/ClipboardOps.h"
#include "edit/LoopCrossfade.h"
#include "sound/SampleConvert.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class Crossfade : public AmplitudeTestBed {
protected:
    static void SetLoopPoints(COLMDoc& doc, std::uint32_t start, std::uint32_t end) {
        ASSERT_TRUE(SetLoop(doc, start, end, true));
    }
};

// The product of a signal x driven by j out of t frames, as the curve defines it.
std::int64_t CurveProduct(CrossfadeCurve curve, std::int64_t x, std::int64_t j, std::int64_t t, int bytes) {
    const std::int64_t m = (std::int64_t{1} << (8 * bytes)) - 1;
    const auto c = [&](std::int64_t i) {
        return static_cast<std::int64_t>(static_cast<double>(m) *
                                         std::pow(10.0, -4.8 * std::pow(static_cast<double>(i) / static_cast<double>(t), 5)));
    };
    switch (curve) {
    case CrossfadeCurve::Linear: return x * j / t;
    case CrossfadeCurve::PlusExp: return c(t - j) * x / m;
    default: return (m - c(j)) * x / m;
    }
}

void CrossfadeReference(SampleGrid& g, const EditScope& scope, std::uint32_t loopStart, std::uint32_t loopEnd,
                        std::int64_t s, std::int64_t r, CrossfadeCurve curve) {
    for (std::int64_t k = 0; k < s; ++k)
        for (int ch = 0; ch < g.channels; ++ch) {
            const std::int64_t a = g.At(static_cast<std::uint32_t>(loopStart - s + k), ch);
            std::int64_t& b = g.At(static_cast<std::uint32_t>(loopEnd - s + k), ch);
            b = scope.Clamp(CurveProduct(curve, a, k, s, scope.bytes) + CurveProduct(curve, b, s - k, s, scope.bytes));
        }
    for (std::int64_t k = 0; k < r; ++k)
        for (int ch = 0; ch < g.channels; ++ch) {
            const std::int64_t a = g.At(static_cast<std::uint32_t>(loopStart + k), ch);
            std::int64_t& b = g.At(static_cast<std::uint32_t>(loopEnd + k), ch);
            b = scope.Clamp(CurveProduct(curve, a, r - k, r, scope.bytes) + CurveProduct(curve, b, k, r, scope.bytes));
        }
}

}  // namespace

TEST_F(Crossfade, MatchesTheCurvesOnEveryKindAndChannelSelection) {
    unsigned seed = 7;
    for (const SoundKind& kind : EveryKind()) {
        COLMDoc& doc = RandomSound(kind, 24000, seed++);
        const std::uint32_t n = doc.Info().frames;
        // Sustain within one buffer and across several; release longer than what the sustain
        // pass leaves untouched, so it reads frames the sustain pass wrote.
        struct Case { std::uint32_t loopStart, loopEnd; CrossfadeType type; int sustain, release; };
        for (const Case& c : {Case{1000, 1400, CrossfadeType::Sustain, 1, 0},
                              Case{9000, 17001, CrossfadeType::SustainRelease, 70, 85},
                              Case{5, n - 3, CrossfadeType::SustainRelease, 0, 0}}) {
            SetLoopPoints(doc, c.loopStart, c.loopEnd);
            const CrossfadeMaxima maxima = CrossfadeMaximaFor(doc.Info());
            const int sustain = std::min(c.sustain, maxima.sustain), release = std::min(c.release, maxima.release);
            const CrossfadeFrames f = CrossfadeLengths(doc.Info(), c.type, sustain, release);
            if (f.sustain + f.release == 0) {
                const auto file = ReadAll(doc.WorkingPath());
                EXPECT_FALSE(LoopCrossfade(doc, c.type, sustain, release, CrossfadeCurve::Linear));
                EXPECT_EQ(ReadAll(doc.WorkingPath()), file);
                continue;
            }
            for (CrossfadeCurve curve : {CrossfadeCurve::Linear, CrossfadeCurve::PlusExp, CrossfadeCurve::MinusExp}) {
                // The channel selection does not matter: every channel is rewritten.
                ExpectOperation(
                    doc, 0, 1, doc.Info().channels == 2 ? ChannelChoice::Right : ChannelChoice::Both,
                    [&](COLMDoc& d) { return LoopCrossfade(d, c.type, sustain, release, curve); },
                    [&](SampleGrid& g, const EditScope& s) {
                        CrossfadeReference(g, s, c.loopStart, c.loopEnd, f.sustain, f.release, curve);
                    },
                    kind.Name() + " loop " + std::to_string(c.loopStart) + " curve " + std::to_string(static_cast<int>(curve)));
                const UndoRecord& undo = doc.Undo().UndoRecordState();
                EXPECT_EQ(undo.rangeStart, c.loopEnd - f.sustain);
                EXPECT_EQ(undo.rangeEnd, c.loopEnd + f.release);
                EXPECT_EQ(undo.channelsSaved, doc.Info().channels);
            }
        }
        app.Discard(doc);
    }
}

TEST_F(Crossfade, MaximaLengthsAndTheLinearWeights) {
    SoundInfo info;
    info.frames = 10000;
    info.loopStart = 1000;
    info.loopEnd = 5000;
    EXPECT_EQ(CrossfadeMaximaFor(info), (CrossfadeMaxima{25, 100}));
    EXPECT_EQ(CrossfadeLengths(info, CrossfadeType::Sustain, 25, 100).sustain, 1000u);
    EXPECT_EQ(CrossfadeLengths(info, CrossfadeType::Sustain, 25, 100).release, 0u);
    EXPECT_EQ(CrossfadeLengths(info, CrossfadeType::SustainRelease, 10, 100).release, 4000u);
    info.loopEnd = 9000;  // 1000 frames after the loop, length 8000
    EXPECT_EQ(CrossfadeMaximaFor(info), (CrossfadeMaxima{12, 12}));
    info.loopStart = 0;
    info.loopEnd = 10000;
    EXPECT_EQ(CrossfadeMaximaFor(info), (CrossfadeMaxima{0, 0}));

    // Weights half-way: about 0.708 for +Exp, 0.292 for -Exp.
    const CurveWeight plus = CrossfadeWeight(CrossfadeCurve::PlusExp, 50, 100, 2);
    const CurveWeight minus = CrossfadeWeight(CrossfadeCurve::MinusExp, 50, 100, 2);
    EXPECT_NEAR(static_cast<double>(plus.weight) / plus.divisor, 0.708, 0.001);
    EXPECT_NEAR(static_cast<double>(minus.weight) / minus.divisor, 0.292, 0.001);

    // S = 4, "Liner": a takes 0, 1/4, 2/4, 3/4 and the original 4/4, 3/4, 2/4, 1/4.
    COLMDoc& doc = RandomSound({FileType::Wav, 2, 2}, 2000, 3);
    SampleGrid grid = Read(doc);
    std::fill(grid.values.begin(), grid.values.end(), 0);
    for (std::uint32_t f = 1396; f < 1400; ++f) grid.At(f, 0) = grid.At(f, 1) = 4000;
    Write(doc, grid);
    SetLoopPoints(doc, 1000, 1400);
    SelectChannels(doc, ChannelChoice::Left);
    doc.selectionLock = 1;
    ASSERT_TRUE(LoopCrossfade(doc, CrossfadeType::Sustain, 1, 0, CrossfadeCurve::Linear));
    const SampleGrid after = Read(doc);
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_EQ(after.At(1396, ch), 4000);
        EXPECT_EQ(after.At(1397, ch), 3000);
        EXPECT_EQ(after.At(1398, ch), 2000);
        EXPECT_EQ(after.At(1399, ch), 1000);
    }
    const auto& statuses = progress.StatusesShown();
    // The redo copy waits for the first Undo.
    EXPECT_EQ(std::vector<StringId>(statuses.end() - 2, statuses.end()),
              (std::vector<StringId>{StringId::CreatingUndoFile, StringId::CrossfadeOperation}));
    EXPECT_EQ(doc.Info().loopStart, 1000u);
    EXPECT_EQ(doc.Info().loopEnd, 1400u);
    EXPECT_EQ(doc.selectionLock, 1u);  // the selection is not the crossfade's business
}

TEST_F(Crossfade, MixAddsWithSaturationAcrossWidthsAndChannels) {
    // 30000 + 10000 and −30000 + −10000 saturate; a mono clip into both channels of a stereo
    // sound changes the left one only.
    COLMDoc& source = RandomSound({FileType::Wav, 2, 1}, 800, 1);
    SampleGrid clipGrid = Read(source);
    clipGrid.values[0] = 10000;
    clipGrid.values[1] = -10000;
    Write(source, clipGrid);
    SelectFrames(source, 0, 2);
    ASSERT_TRUE(Copy(source, app.GetClip()));
    COLMDoc& target = RandomSound({FileType::Aiff, 2, 2}, 800, 2);
    SampleGrid grid = Read(target);
    grid.At(0, 0) = 30000;
    grid.At(1, 0) = -30000;
    Write(target, grid);
    SelectFrames(target, 0, 0);
    ASSERT_TRUE(Mix(target, app.GetClip()));
    const SampleGrid mixed = Read(target);
    EXPECT_EQ(mixed.At(0, 0), 32767);
    EXPECT_EQ(mixed.At(1, 0), -32768);
    EXPECT_EQ(mixed.At(0, 1), grid.At(0, 1));
    EXPECT_EQ(mixed.At(1, 1), grid.At(1, 1));
    EXPECT_EQ(target.selectionEnd, 2u);

    // Random clips of every width into sounds of every width.
    unsigned seed = 40;
    for (const SoundKind& from : {SoundKind{FileType::Aiff, 1, 2}, SoundKind{FileType::Wav, 3, 1}, SoundKind{FileType::Wav, 4, 2}}) {
        COLMDoc& clipSound = RandomSound(from, 12000, seed++);
        SelectChannels(clipSound, ChannelChoice::Both);
        SelectFrames(clipSound, 11, 11 + 9001);
        ASSERT_TRUE(Copy(clipSound, app.GetClip()));
        const SampleGrid clipSamples = Read(clipSound);
        app.Discard(clipSound);
        for (const SoundKind& kind : EveryKind()) {
            COLMDoc& doc = RandomSound(kind, 12000, seed++);
            for (ChannelChoice choice : ChannelChoices(doc)) {
                const std::uint32_t p = doc.Info().frames - 9001;
                ExpectOperation(
                    doc, p, p, choice, [&](COLMDoc& d) { return Mix(d, app.GetClip()); },
                    [&](SampleGrid& g, const EditScope& s) {
                        for (std::uint32_t i = 0; i < 9001; ++i) {
                            int clipChannel = 0;
                            for (int ch = s.channelFirst; ch < s.channelEnd && clipChannel < from.channels; ++ch, ++clipChannel) {
                                const std::int64_t add = ConvertSampleWidth(
                                    static_cast<std::int32_t>(clipSamples.At(11 + i, clipChannel)), from.bytes, s.bytes);
                                g.At(p + i, ch) = s.Clamp(g.At(p + i, ch) + add);
                            }
                        }
                    },
                    "mix " + from.Name() + " into " + kind.Name());
            }
            app.Discard(doc);
        }
    }
}
