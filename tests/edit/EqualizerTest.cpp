// The equaliser against a reference of its design and integer arithmetic written here from the
// rules: coefficients for a table of bands, every width and file type sample for sample
// (warm-up included), the documented example, and flat bands that leave everything alone.

#include <cmath>
#include <complex>

#include "AmplitudeTestBed.h"
#include "edit/AmplitudeOps.h"
#include "edit/EqDesign.h"
#include "edit/Equalizer.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

constexpr double kPi = 3.14159265358979;

struct RefSection {
    int b0, b1, b2, fb1, fb2;  // Q14: b0/a0, b1/a0, b2/a0, −a1/a0, −a2/a0
};

int RefQuantise(double v) {
    const double x = v * 16384;
    if (v > 0) return v >= 2.0 || std::trunc(x) >= 32767 ? 32767 : static_cast<int>(std::trunc(x + 0.5));
    return v <= -2.0 || std::trunc(x) <= -32767 ? -32767 : static_cast<int>(std::trunc(x - 0.5));
}

// A peak through the second-order bilinear transform; a shelf through the first-order one, which
// is the same response without the pole at z = −1.
RefSection RefDesign(const EqBand& band, double fs) {
    const double w = 2 * std::tan(band.frequency * kPi / fs);
    const double up = std::pow(10.0, 0.05 * band.gain), down = std::pow(10.0, -0.05 * band.gain);
    if (band.type == EqBandType::Peak) {
        const double q = band.q;
        const double c1 = band.gain >= 0 ? up * w / q : w / q;
        const double d1 = band.gain >= 0 ? w / q : down * w / q;
        const double a0 = 4 + 2 * d1 + w * w;
        return {RefQuantise((4 + 2 * c1 + w * w) / a0), RefQuantise((2 * w * w - 8) / a0),
                RefQuantise((4 - 2 * c1 + w * w) / a0), RefQuantise(-(2 * w * w - 8) / a0),
                RefQuantise(-(4 - 2 * d1 + w * w) / a0)};
    }
    double c1, c0, d1, d0;
    if (band.type == EqBandType::LowShelf) {
        c1 = 1, c0 = 2 * w / (down + 1), d1 = 1, d0 = 2 * w / (up + 1);
    } else {
        c1 = 2 / (down + 1), c0 = w, d1 = 2 / (up + 1), d0 = w;
    }
    const double a0 = 2 * d1 + d0;
    return {RefQuantise((2 * c1 + c0) / a0), RefQuantise((c0 - 2 * c1) / a0), 0, RefQuantise(-(d0 - 2 * d1) / a0), 0};
}

struct RefValue {
    std::int64_t m = 0;
    int e = 0;
};

std::int64_t RefTerm(int c, RefValue v) {
    const std::int64_t product = std::int64_t{c} * v.m;
    return v.e <= 10 ? product >> (10 - v.e) : product * (std::int64_t{1} << (v.e - 10));
}

// One channel through three sections; returns the stored sample of width `bytes`.
struct RefChannel {
    RefValue x[3][2], y[3][2];

    std::int64_t Run(const std::array<RefSection, 3>& sections, std::int64_t sample, int bytes) {
        RefValue in{bytes == 1 ? sample * 256 : bytes == 2 ? sample : bytes == 3 ? sample >> 8 : sample >> 16, 0};
        std::int64_t acc = 0, y0 = 0;
        for (int s = 0; s < 3; ++s) {
            const RefSection& c = sections[static_cast<std::size_t>(s)];
            acc = RefTerm(c.b0, in) + RefTerm(c.b1, x[s][0]) + RefTerm(c.b2, x[s][1]) + RefTerm(c.fb1, y[s][0]) +
                  RefTerm(c.fb2, y[s][1]);
            y0 = (acc >> 4) + ((acc >> 3) & 1);
            RefValue out{y0, 0};
            while ((out.m < -32768 || out.m > 32767) && out.e < 20) out.m >>= 1, ++out.e;
            out.m = std::clamp<std::int64_t>(out.m, -32768, 32767);
            x[s][1] = x[s][0], x[s][0] = in;
            y[s][1] = y[s][0], y[s][0] = out;
            in = out;
        }
        switch (bytes) {
        case 1: return y0 < -32768 ? -128 : y0 > 32512 ? 127 : (y0 >> 8) + ((y0 >> 7) & 1);
        case 2: return std::clamp<std::int64_t>(y0, -32768, 32767);
        case 3: return std::clamp<std::int64_t>(acc * 16 + ((acc & 15) ? 1 : 0), -8388608, 8388607);
        default: return y0 < -32768 ? INT32_MIN : y0 > 32767 ? INT32_MAX : y0 * 65536;
        }
    }
};

void RefEqualize(SampleGrid& g, const EditScope& s, const EqBands& bands, double fs) {
    std::array<RefSection, 3> sections;
    for (std::size_t i = 0; i < 3; ++i) sections[i] = RefDesign(bands[i], fs);
    for (int ch = s.channelFirst; ch < s.channelEnd; ++ch) {
        RefChannel channel;
        const std::uint32_t warm = std::min<std::uint32_t>(s.start, 100);
        for (std::uint32_t f = s.start - warm; f < s.start; ++f) channel.Run(sections, g.At(f, ch), s.bytes);
        for (std::uint32_t f = s.start; f < s.end; ++f) g.At(f, ch) = channel.Run(sections, g.At(f, ch), s.bytes);
    }
}

EqBand Peak(double gain, std::int32_t f, std::int32_t q) { return {EqBandType::Peak, gain, f, q}; }
EqBand LowShelf(double gain, std::int32_t f) { return {EqBandType::LowShelf, gain, f, 0}; }
EqBand HighShelf(double gain, std::int32_t f) { return {EqBandType::HighShelf, gain, f, 0}; }

class Equalizer : public AmplitudeTestBed {};

}  // namespace

TEST(EqDesign, MatchesTheReferenceAndTheDocumentedExample) {
    // The documented example: +6 dB peak at 1000 Hz, Q 1, 44100 Hz.
    const double w = EqPrewarp(1000, 44100);
    EXPECT_NEAR(w, 0.142717, 1e-6);
    EXPECT_NEAR(EqPrototype(Peak(6, 1000, 1), w).c1, 0.284759, 2e-6);
    EXPECT_NEAR(EqPrototype(Peak(6, 1000, 1), w).d1, w, 1e-12);
    EXPECT_NEAR(EqPrototype(Peak(-6, 1000, 1), w).d1, 0.284759, 2e-6);

    struct Case {
        EqBand band;
        std::uint32_t rate;
    };
    const Case cases[] = {
        {Peak(6, 1000, 1), 44100},       // the example
        {Peak(-20, 100, 10), 44100},     // deep narrow cut near the bottom
        {Peak(20, 22049, 1), 44100},     // at the frequency limit
        {Peak(0, 1000, 3), 48000},       // flat: numerator equals denominator
        {Peak(13.7, 3999, 2), 8000},     // odd gain at the limit of a low rate
        {LowShelf(6, 100), 44100},       //
        {LowShelf(-20, 5000), 22050},    //
        {HighShelf(3, 8000), 44100},     // the bench's shelf
        {HighShelf(12, 8000), 44100},    // b0/a0 above 2.0: limited to 32767
        {HighShelf(-20, 100), 96000},    //
    };
    for (const Case& c : cases) {
        const RefSection r = RefDesign(c.band, c.rate);
        const EqSection s = EqDesignSection(c.band, c.rate);
        EXPECT_EQ(s, (EqSection{static_cast<std::int16_t>(r.b0), static_cast<std::int16_t>(r.b1), static_cast<std::int16_t>(r.b2),
                                static_cast<std::int16_t>(r.fb1), static_cast<std::int16_t>(r.fb2)}))
            << static_cast<int>(c.band.type) << " " << c.band.gain << " dB " << c.band.frequency << " Hz at " << c.rate;
    }
    EXPECT_EQ(EqDesignSection(HighShelf(12, 8000), 44100).b0, 32767);

    // Quantisation edges, half away from zero, and the ±2.0 limit.
    struct Q {
        double v;
        int expected;
    };
    for (const Q q : {Q{0.5 / 16384, 1}, Q{-0.5 / 16384, -1}, Q{0.49 / 16384, 0}, Q{1.9999, 32766}, Q{1.99999, 32767},
                      Q{32766.5 / 16384, 32767}, Q{32766.4 / 16384, 32766}, Q{-2.5, -32767}, Q{0.0, 0}})
        EXPECT_EQ(QuantiseQ14(q.v), q.expected) << q.v;
}

TEST(EqDesign, TheGraphShowsTheQuantisedResponse) {
    // A shelf's first-order section has the analogue shelf's response: the gain at 0 Hz and at
    // half the rate, unity at the other end.
    const double fs = 44100;
    EqCascade flat{};
    auto only = [&](EqBand band) {
        EqCascade c = flat;
        c[0] = EqDesignSection(band, static_cast<std::uint32_t>(fs));
        return c;
    };
    EXPECT_NEAR(EqResponseDb(only(LowShelf(6, 200)), 1, 44100), 6.0, 0.05);
    EXPECT_NEAR(EqResponseDb(only(LowShelf(6, 200)), 22000, 44100), 0.0, 0.05);
    EXPECT_NEAR(EqResponseDb(only(HighShelf(-9, 2000)), 22049, 44100), -9.0, 0.05);
    EXPECT_NEAR(EqResponseDb(only(Peak(-8, 1000, 2)), 1000, 44100), -8.0, 0.05);
    EXPECT_NEAR(EqResponseDb(only(Peak(0, 1000, 2)), 5000, 44100), 0.0, 1e-9);
    // +12 dB at 8 kHz needs b0/a0 above 2.0; the limited coefficient gives less at the top.
    EXPECT_LT(EqResponseDb(only(HighShelf(12, 8000)), 22000, 44100), 11.8);
    EXPECT_LT(EqResponseDb(only(HighShelf(20, 8000)), 22000, 44100), 19.0);
    EXPECT_NEAR(EqResponseDb(only(HighShelf(10, 8000)), 22000, 44100), 10.0, 0.05);
    // The cascade adds its bands in dB.
    const EqBands three{LowShelf(6, 100), Peak(-4, 1000, 2), HighShelf(3, 8000)};
    const EqCascade cascade = EqDesignCascade(three, 44100);
    double sum = 0;
    for (std::size_t i = 0; i < 3; ++i) sum += EqResponseDb(only(three[i]), 3000, 44100);
    EXPECT_NEAR(EqResponseDb(cascade, 3000, 44100), sum, 1e-9);
}

TEST_F(Equalizer, MatchesTheIntegerReferenceOnEveryKind) {
    // The test bed's sounds are 8000 Hz: frequencies up to 3999.
    const EqBands sets[] = {
        {LowShelf(6, 200), Peak(-8, 1000, 2), HighShelf(3, 3000)},
        // +60 dB at one frequency on full-scale noise: exponents grow and every width saturates.
        {Peak(20, 1000, 10), Peak(20, 1000, 10), Peak(20, 1000, 10)},
        {Peak(-20, 100, 1), Peak(0, 2000, 5), HighShelf(-20, 3999)},
    };
    unsigned seed = 700;
    for (const EqBands& bands : sets) {
        ExpectOnEveryKind(
            [&bands](COLMDoc& d) {
                EXPECT_EQ(d.Info().sampleRate, 8000u);
                return Equalize(d, bands);
            },
            [&bands](SampleGrid& g, const EditScope& s) { RefEqualize(g, s, bands, 8000); }, "eq", seed);
        seed += 20;
    }
}

TEST_F(Equalizer, WarmsUpWithTheFramesBeforeTheSelectionOnly) {
    const EqBands bands{Peak(12, 300, 4), Peak(-6, 1000, 1), HighShelf(6, 2000)};
    for (const SoundKind kind : {SoundKind{FileType::Wav, 2, 2}, SoundKind{FileType::Aiff, 3, 1}}) {
        COLMDoc& doc = RandomSound(kind, 6000, 9);
        // From frame 40: frames 0..39 settle the history; from 4000: the 100 frames before.
        for (auto [start, end] : {std::pair{40u, 5000u}, std::pair{4000u, 6000u}, std::pair{1u, 2u}})
            ExpectOperation(doc, start, end, ChannelChoice::Both, [&](COLMDoc& d) { return Equalize(d, bands); },
                            [&](SampleGrid& g, const EditScope& s) { RefEqualize(g, s, bands, 8000); },
                            kind.Name() + " from " + std::to_string(start));
        app.Discard(doc);
    }
}

TEST_F(Equalizer, FlatBandsLeaveTheFileAndTheUndoHistoryAlone) {
    COLMDoc& doc = RandomSound({FileType::Wav, 2, 2}, 4000, 3);
    SelectFrames(doc, 0, 4000);
    const auto original = ReadAll(doc.WorkingPath());
    ASSERT_TRUE(Gain(doc, 50));
    const auto halved = ReadAll(doc.WorkingPath());
    const std::size_t statuses = progress.StatusesShown().size();

    EqBands flat = InitialEqBands();
    flat[kEqLow].type = EqBandType::LowShelf;
    flat[kEqLow].q = 0;
    EXPECT_FALSE(Equalize(doc, flat));
    EXPECT_EQ(ReadAll(doc.WorkingPath()), halved);
    EXPECT_EQ(progress.StatusesShown().size(), statuses);  // not even an undo copy
    // Undo still takes back the Gain.
    doc.Undo().UndoOrRedo(doc);
    EXPECT_EQ(ReadAll(doc.WorkingPath()), original);

    // An empty selection changes nothing either.
    SelectFrames(doc, 10, 10);
    EXPECT_FALSE(Equalize(doc, {Peak(3, 100, 1), Peak(0, 1000, 1), Peak(0, 3000, 1)}));
    EXPECT_EQ(ReadAll(doc.WorkingPath()), original);
}

TEST_F(Equalizer, ShowsItsProgressInPercent) {
    COLMDoc& doc = RandomSound({FileType::Wav, 2, 2}, 40000, 4);
    SelectFrames(doc, 0, 40000);
    ASSERT_TRUE(Equalize(doc, {Peak(3, 100, 1), Peak(0, 1000, 1), Peak(0, 3000, 1)}));
    const auto& statuses = progress.StatusesShown();
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), StringId::EqOperation), statuses.end());
    // 40000 frames are five blocks of 8192: 20, 40, 61, 81, then 100 (between the undo and redo
    // copies' displays).
    const std::vector<int>& percents = progress.PercentsShown();
    const std::vector<int> expected{0, 20, 40, 61, 81, 100};
    EXPECT_NE(std::search(percents.begin(), percents.end(), expected.begin(), expected.end()), percents.end());
}
