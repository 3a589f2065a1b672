// Gain, Normalize, the fades, Invert, Reverse, Silence and DC Offset against per-sample
// references, and their documented examples.

#include <sys/stat.h>

#include <cmath>

#include "AmplitudeTestBed.h"
#include "base/Error.h"
#include "edit/AmplitudeOps.h"
#include "edit/DcOffset.h"
#include "edit/Reverse.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class AmplitudeOps : public AmplitudeTestBed {
protected:
    // A sound whose first samples are `values` (frame by frame, channel 0 first), the rest 0.
    COLMDoc& SoundWith(const SoundKind& kind, const std::vector<std::int64_t>& values) {
        COLMDoc& doc = RandomSound(kind, 800, 1);
        SampleGrid grid = Read(doc);
        std::fill(grid.values.begin(), grid.values.end(), 0);
        std::copy_n(values.begin(), std::min(values.size(), grid.values.size()), grid.values.begin());
        Write(doc, grid);
        return doc;
    }
    std::int64_t SampleAt(const COLMDoc& doc, std::uint32_t frame, int ch = 0) { return Read(doc).At(frame, ch); }
};

// Integer part of sample × factor, limited to the width.
std::int64_t ScaleReference(std::int64_t sample, double factor, const EditScope& s) {
    const double product = std::trunc(static_cast<double>(sample) * factor);
    if (product > static_cast<double>(s.Max())) return s.Max();
    if (product < static_cast<double>(s.Min())) return s.Min();
    return static_cast<std::int64_t>(product);
}

void FadeReference(SampleGrid& g, const EditScope& s, bool in) {
    const std::uint32_t n = s.end - s.start;
    std::int64_t gain = in ? 0 : 2147483647;
    const std::int64_t step = in ? static_cast<std::int64_t>(2147483647.0 / n)
                                 : static_cast<std::int64_t>(-2147483648.0 / n);
    for (std::uint32_t f = s.start; f < s.end; ++f, gain += step) {
        const std::int64_t g16 = gain >> 16;
        for (int ch = s.channelFirst; ch < s.channelEnd; ++ch) {
            std::int64_t& x = g.At(f, ch);
            x = s.bytes < 4 ? (x * g16) >> 15 : ((x >> 16) * g16) * 2;
        }
    }
}

}  // namespace

TEST_F(AmplitudeOps, GainAndNormalizeMatchTheFormulaOnEveryKind) {
    for (int rate : {0, 50, 100, 151, 200}) {
        ExpectOnEveryKind([rate](COLMDoc& d) { return Gain(d, rate); },
                          [rate](SampleGrid& g, const EditScope& s) {
                              ForSelected(s, [&](std::uint32_t f, int ch) { g.At(f, ch) = ScaleReference(g.At(f, ch), rate * 0.01, s); });
                          },
                          "gain " + std::to_string(rate), 100 + rate);
    }
    for (int rate : {70, 100, 110}) {
        ExpectOnEveryKind([rate](COLMDoc& d) { return Normalize(d, rate); },
                          [rate](SampleGrid& g, const EditScope& s) {
                              std::int64_t peak = 0;
                              ForSelected(s, [&](std::uint32_t f, int ch) { peak = std::max(peak, std::abs(g.At(f, ch))); });
                              const double p = static_cast<double>(peak);
                              const double factor = s.bytes == 1   ? rate * 1.27 / p
                                                    : s.bytes == 2 ? rate * 327.67 / p
                                                    : s.bytes == 3 ? rate * 83886.07 / p
                                                                   : 2147483647.0 / p * rate * 0.01;
                              ForSelected(s, [&](std::uint32_t f, int ch) { g.At(f, ch) = ScaleReference(g.At(f, ch), factor, s); });
                          },
                          "normalize " + std::to_string(rate), 300 + rate);
    }
}

TEST_F(AmplitudeOps, FadesInvertReverseAndSilenceMatchTheFormulaOnEveryKind) {
    ExpectOnEveryKind(FadeIn, [](SampleGrid& g, const EditScope& s) { FadeReference(g, s, true); }, "fade in", 1);
    ExpectOnEveryKind(FadeOut, [](SampleGrid& g, const EditScope& s) { FadeReference(g, s, false); }, "fade out", 2);
    ExpectOnEveryKind(Invert,
                      [](SampleGrid& g, const EditScope& s) {
                          ForSelected(s, [&](std::uint32_t f, int ch) { g.At(f, ch) = -g.At(f, ch) - 1; });
                      },
                      "invert", 3);
    ExpectOnEveryKind(Reverse,
                      [](SampleGrid& g, const EditScope& s) {
                          const SampleGrid before = g;
                          ForSelected(s, [&](std::uint32_t f, int ch) { g.At(f, ch) = before.At(s.end - 1 - (f - s.start), ch); });
                      },
                      "reverse", 4);
    ExpectOnEveryKind(Silence,
                      [](SampleGrid& g, const EditScope& s) { ForSelected(s, [&](std::uint32_t f, int ch) { g.At(f, ch) = 0; }); },
                      "silence", 5);
}

TEST_F(AmplitudeOps, DcOffsetMatchesTheFormulaOnEveryKind) {
    for (std::int64_t typed : {-40000000LL, -3LL, 1LL, 99999999LL}) {
        ExpectOnEveryKind([typed](COLMDoc& d) { return DcOffset(d, DcOffsetMode::Specify, typed); },
                          [typed](SampleGrid& g, const EditScope& s) {
                              const std::int64_t m = (std::int64_t{1} << (s.bits - 1)) - 1;
                              const std::int64_t offset = std::clamp(typed, -1 - m, m);
                              ForSelected(s, [&](std::uint32_t f, int ch) { g.At(f, ch) = s.Clamp(g.At(f, ch) + offset); });
                          },
                          "dc offset " + std::to_string(typed), 50);
    }
    ExpectOnEveryKind([](COLMDoc& d) { return DcOffset(d, DcOffsetMode::Auto); },
                      [](SampleGrid& g, const EditScope& s) {
                          const std::int64_t n = s.end - s.start;
                          std::int64_t total = 0;
                          for (int ch = s.channelFirst; ch < s.channelEnd; ++ch) {
                              std::int64_t sum = 0;
                              for (std::uint32_t f = s.start; f < s.end; ++f) sum += g.At(f, ch);
                              total += -sum / n;
                          }
                          const std::int64_t offset = total / (s.channelEnd - s.channelFirst);
                          ForSelected(s, [&](std::uint32_t f, int ch) { g.At(f, ch) = s.Clamp(g.At(f, ch) + offset); });
                      },
                      "dc auto", 60,
                      // A mean well away from 0, so that there is an offset to remove.
                      [](SampleGrid& g, const EditScope& s) {
                          for (std::int64_t& v : g.values) v = s.Clamp(v + s.Max() / 6 + 3);
                          g.values.end()[-1] = g.values.end()[-2] = s.Max() / 5;  // the one-frame case
                      });
}

TEST_F(AmplitudeOps, GainExamples) {
    COLMDoc& doc = SoundWith({FileType::Wav, 2, 1}, {20000, -3, 32767, -32768, 7});
    SelectFrames(doc, 0, 5);
    const SampleGrid before = Read(doc);
    ASSERT_TRUE(Gain(doc, 100));
    EXPECT_EQ(Read(doc), before);
    ASSERT_TRUE(Gain(doc, 200));
    EXPECT_EQ(SampleAt(doc, 0), 32767);
    EXPECT_EQ(SampleAt(doc, 3), -32768);
    ASSERT_TRUE(Gain(doc, 50));
    EXPECT_EQ(SampleAt(doc, 1), -3);  // −6 × 0.5
    ASSERT_TRUE(Gain(doc, 50));
    EXPECT_EQ(SampleAt(doc, 1), -1);  // −3 × 0.5 toward zero
    EXPECT_EQ(SampleAt(doc, 4), 3);   // 7 → 14 → 7 → 3
    EXPECT_EQ(progress.StatusesShown().back(), StringId::GainOperation);

    // 150 % of 1431699455 passes 32 bits although its upper 16 bits × 1.5 do not: it saturates.
    COLMDoc& wide = SoundWith({FileType::Aiff, 4, 2}, {1431699455, -1431699456, -5, 5});
    SelectFrames(wide, 0, 2);
    ASSERT_TRUE(Gain(wide, 150));
    EXPECT_EQ(SampleAt(wide, 0, 0), 2147483647);
    EXPECT_EQ(SampleAt(wide, 0, 1), -2147483648LL);
    EXPECT_EQ(SampleAt(wide, 1, 0), -7);
    EXPECT_EQ(SampleAt(wide, 1, 1), 7);
}

TEST_F(AmplitudeOps, NormalizeExamplesAndTheSilentSelection) {
    COLMDoc& doc = SoundWith({FileType::Wav, 2, 1}, {-16384, 8192, 1});
    SelectFrames(doc, 0, 3);
    ASSERT_TRUE(Normalize(doc, 100));
    EXPECT_EQ(SampleAt(doc, 0), -32767);
    EXPECT_EQ(SampleAt(doc, 1), 16383);

    // A 32-bit peak of −2^31 is taken in 64 bits; a factor above 32768 does not drive quiet
    // negative samples to full scale.
    COLMDoc& wide = SoundWith({FileType::Wav, 4, 1}, {-2147483648LL, 1073741824});
    SelectFrames(wide, 0, 2);
    ASSERT_TRUE(Normalize(wide, 100));
    EXPECT_EQ(SampleAt(wide, 0), -2147483647);
    EXPECT_EQ(SampleAt(wide, 1), 1073741823);
    COLMDoc& quiet = SoundWith({FileType::Aiff, 4, 1}, {1, -1, 0});
    SelectFrames(quiet, 0, 3);
    ASSERT_TRUE(Normalize(quiet, 100));
    EXPECT_EQ(SampleAt(quiet, 0), 2147483647);
    EXPECT_EQ(SampleAt(quiet, 1), -2147483647);

    // Silence has no peak to scale: nothing changes, no undo copy, and the user is told.
    COLMDoc& silent = SoundWith({FileType::Wav, 2, 2}, {});
    SelectFrames(silent, 10, 500);
    const auto file = ReadAll(silent.WorkingPath());
    prompter.messages.clear();
    EXPECT_FALSE(Normalize(silent, 100));
    EXPECT_EQ(ReadAll(silent.WorkingPath()), file);
    EXPECT_FALSE(silent.DataChanged());
    EXPECT_FALSE(silent.Undo().UndoRecordState().valid);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], "The selection is silent - no data changed.");
}

TEST_F(AmplitudeOps, FadeInvertReverseAndSilenceExamples) {
    COLMDoc& doc = SoundWith({FileType::Wav, 2, 1}, {32767, 32767, 32767, 32767, 32767});
    SelectFrames(doc, 0, 4);
    ASSERT_TRUE(FadeIn(doc));
    EXPECT_EQ(Read(doc).values[0], 0);
    EXPECT_EQ(Read(doc).values[1], 8190);
    EXPECT_EQ(Read(doc).values[2], 16382);
    EXPECT_EQ(Read(doc).values[3], 24574);
    EXPECT_EQ(Read(doc).values[4], 32767);  // outside the selection
    SelectFrames(doc, 4, 5);
    ASSERT_TRUE(FadeOut(doc));
    EXPECT_EQ(SampleAt(doc, 4), 32766);  // the first frame of a fade out is at 32767/32768

    COLMDoc& byte = SoundWith({FileType::Wav, 1, 1}, {0, 127, -128});
    SelectFrames(byte, 0, 3);
    ASSERT_TRUE(Invert(byte));
    const auto bytes = ReadAll(byte.WorkingPath());
    EXPECT_EQ(bytes[byte.Info().dataOffset], 0x7F);
    EXPECT_EQ(SampleAt(byte, 1), -128);
    EXPECT_EQ(SampleAt(byte, 2), 127);
    SelectFrames(byte, 0, 3);
    ASSERT_TRUE(Silence(byte));
    EXPECT_EQ(ReadAll(byte.WorkingPath())[byte.Info().dataOffset + 2], 0x80);

    COLMDoc& five = SoundWith({FileType::Aiff, 3, 2}, {1, 10, 2, 20, 3, 30, 4, 40, 5, 50});
    SelectChannels(five, ChannelChoice::Right);
    SelectFrames(five, 0, 5);
    ASSERT_TRUE(Reverse(five));
    const SampleGrid r = Read(five);
    for (std::uint32_t f = 0; f < 5; ++f) {
        EXPECT_EQ(r.At(f, 1), 50 - 10 * static_cast<std::int64_t>(f));
        EXPECT_EQ(r.At(f, 0), f + 1);
    }
}

TEST_F(AmplitudeOps, DcOffsetExamplesMessagesAndLimits) {
    // Left mean 10.6, right mean 3.2: (−10 + −3) / 2 = −6 on both channels.
    COLMDoc& doc = SoundWith({FileType::Wav, 2, 2}, {10, 3, 11, 3, 11, 4, 10, 3, 11, 3});
    SelectFrames(doc, 0, 5);
    prompter.messages.clear();
    ASSERT_TRUE(DcOffset(doc, DcOffsetMode::Auto));
    EXPECT_EQ(SampleAt(doc, 0, 0), 4);
    EXPECT_EQ(SampleAt(doc, 2, 1), -2);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], "Value \"-6\" is added to each sample.");

    // A constant offset of 1 is found exactly.
    COLMDoc& ones = SoundWith({FileType::Aiff, 3, 1}, std::vector<std::int64_t>(800, 1));
    SelectAll(ones);
    ASSERT_TRUE(DcOffset(ones, DcOffsetMode::Auto));
    EXPECT_EQ(Read(ones).values, std::vector<std::int64_t>(ones.Info().frames, 0));

    // An offset of 0 takes no undo copy; Auto says so, Specify simply does nothing.
    COLMDoc& zero = SoundWith({FileType::Wav, 2, 1}, {5, -5});
    SelectFrames(zero, 0, 2);
    prompter.messages.clear();
    EXPECT_FALSE(DcOffset(zero, DcOffsetMode::Auto));
    EXPECT_FALSE(DcOffset(zero, DcOffsetMode::Specify, 0));
    EXPECT_FALSE(zero.DataChanged());
    EXPECT_FALSE(zero.Undo().UndoRecordState().valid);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], "Offset was zero - no data changed.");

    // Specify 40000 on 16 bits adds 32767.
    ASSERT_TRUE(DcOffset(zero, DcOffsetMode::Specify, 40000));
    EXPECT_EQ(SampleAt(zero, 0), 32767);
    EXPECT_EQ(SampleAt(zero, 1), 32762);

    // A 12-bit sound in 16-bit words: the typed offset is limited to 2047, the samples only to
    // the word, so they are not flattened.
    COLMDoc& twelve = SoundWith({FileType::Wav, 2, 1}, {1000, -1000, 32000});
    twelve.Info().bitsPerSample = 12;
    SelectFrames(twelve, 0, 3);
    ASSERT_TRUE(DcOffset(twelve, DcOffsetMode::Specify, 5000));
    EXPECT_EQ(SampleAt(twelve, 0), 3047);
    EXPECT_EQ(SampleAt(twelve, 1), 1047);
    EXPECT_EQ(SampleAt(twelve, 2), 32767);
}

TEST_F(AmplitudeOps, ReadOnlyAndEmptySelectionsChangeNothing) {
    COLMDoc& doc = SoundWith({FileType::Wav, 2, 2}, {1, 2, 3, 4});
    SelectFrames(doc, 3, 3);
    EXPECT_FALSE(Gain(doc, 50));
    EXPECT_FALSE(Normalize(doc, 100));
    EXPECT_FALSE(FadeIn(doc));
    EXPECT_FALSE(Reverse(doc));
    EXPECT_FALSE(DcOffset(doc, DcOffsetMode::Auto));
    EXPECT_FALSE(doc.DataChanged());

    SelectFrames(doc, 0, 2);
    const auto file = ReadAll(doc.WorkingPath());
    ::chmod(doc.WorkingPath().c_str(), 0444);
    for (auto op : {+[](COLMDoc& d) { return Normalize(d, 100); }, +[](COLMDoc& d) { return DcOffset(d, DcOffsetMode::Auto); },
                    +[](COLMDoc& d) { return Invert(d); }}) {
        try {
            op(doc);
            ADD_FAILURE() << "a read-only file was edited";
        } catch (const Error& e) {
            EXPECT_EQ(e.Id(), StringId::FileIsReadOnly);
        }
    }
    ::chmod(doc.WorkingPath().c_str(), 0644);
    EXPECT_EQ(ReadAll(doc.WorkingPath()), file);
}
