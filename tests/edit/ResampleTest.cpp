// Resample against a reference written here from the formulas alone: table, taps, silence
// padding and the rounding of every width, sample for sample; then the dialog's steps and
// limits, the loop mapping, ESC, Undo/Redo and the files read back by sox and libsndfile.

#include <cmath>

#include "AmplitudeTestBed.h"
#include "base/Error.h"
#include "edit/Resample.h"
#include "edit/ResampleDialogModel.h"
#include "edit/ResampleFilter.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// The filter as the design writes it, L = 1.
std::vector<double> ReferenceTable(int n, int rejection, double r0, double r1) {
    const double a = -rejection;
    const double beta = a <= 21 ? 0 : a < 50 ? 0.5842 * std::pow(a - 21, 0.4) + 0.07886 * (a - 21) : 0.1102 * (a - 8.7);
    const double fc = r0 < r1 ? 0.5 : (r1 * 0.5) / r0;
    const auto i0 = [](double x) {
        double s = 1;
        for (int k = 1; k <= 19; ++k) {
            double p = 1;
            for (int q = 1; q <= k; ++q) p *= (x / 2) / q;
            s += p * p;
        }
        return s;
    };
    std::vector<double> h(static_cast<std::size_t>(n / 2 + 1));
    for (int m = 0; m <= n / 2; ++m) {
        h[m] = m == 0 ? 2 * fc : std::sin(m * fc * 6.28318530716) / (m * 3.14159265358);
        const double r = m / (n * 0.5);
        h[m] *= i0(beta * std::sqrt(1 - r * r)) / i0(beta);
    }
    double s = h[0];
    for (int m = 1; m <= n / 2; ++m) s += 2 * h[m];
    std::vector<double> t(static_cast<std::size_t>(n) + 1, 0.0);  // t[N] reads 0
    for (int m = 0; m <= n / 2; ++m) t[(n - 1) / 2 + m] = t[(n - 1) / 2 - m] = h[m] / s;
    return t;
}

// Output frame j of channel c, evaluated as written.
std::int64_t ReferenceOutput(const SampleGrid& in, std::uint32_t frames, int c, std::uint64_t j, double step,
                             const std::vector<double>& t, int n, int bytes) {
    const double tau = static_cast<double>(j) * step;
    const auto i = static_cast<std::int64_t>(tau);
    const double phi = tau - static_cast<double>(i);
    const double p = 1 - phi;
    const auto ph = static_cast<int>(p);
    const double f = p - ph, g = 1 - f;
    const int taps = n - 1, half = (n - 1) / 2;
    double acc = 0;
    std::int64_t a = 0;
    for (int k = 0; k < taps; ++k) {
        const double ck = f * t[static_cast<std::size_t>(ph + k + 1)] + g * t[static_cast<std::size_t>(ph + k)];
        const std::int64_t at = i - half + k;
        const std::int64_t x = at < 0 || at >= frames ? 0 : in.At(static_cast<std::uint32_t>(at), c);
        if (bytes == 2) {
            a += static_cast<std::int64_t>(static_cast<double>(x * 32768) * ck);
        } else if (bytes == 4) {
            const double next = acc + static_cast<double>(x) * ck;
            if (std::trunc(next / 65535) > 32767) return 2147483647;
            if (std::trunc(next / 65535) < -32768) return -2147483647;
            acc = next;
        } else {
            acc += static_cast<double>(x) * ck;
        }
    }
    if (bytes == 2) return std::clamp<std::int64_t>((a >> 15) + ((a >> 14) & 1), -32768, 32767);
    const double limit = bytes == 1 ? 127 : bytes == 3 ? 8388607 : 2147483647;
    return static_cast<std::int64_t>(std::clamp(std::trunc(acc + 0.5), -limit - 1, limit));
}

class ResampleRef : public AmplitudeTestBed {
protected:
    void Expect(COLMDoc& doc, const ResampleSettings& s, const std::string& what) {
        const SampleGrid before = Read(doc);
        const std::uint32_t frames = doc.Info().frames;
        const std::uint32_t oldRate = doc.Info().sampleRate;
        const auto fileBefore = ReadAll(doc.WorkingPath());
        ASSERT_TRUE(Resample(doc, s)) << what;
        const double step = static_cast<double>(oldRate) / s.rate;
        const auto expectedFrames = static_cast<std::uint32_t>(frames * (static_cast<double>(s.rate) / oldRate));
        ASSERT_EQ(doc.Info().frames, expectedFrames) << what;
        EXPECT_EQ(doc.Info().sampleRate, s.rate);
        const auto t = ReferenceTable(s.order, s.rejection, oldRate, s.rate);
        const SampleGrid after = Read(doc);
        int shown = 0;
        for (std::uint32_t j = 0; j < expectedFrames && shown < 3; ++j)
            for (int c = 0; c < before.channels; ++c) {
                const std::int64_t want = ReferenceOutput(before, frames, c, j, step, t, s.order, doc.Info().bytesPerSample);
                if (after.At(j, c) != want && shown++ < 3)
                    ADD_FAILURE() << what << ": frame " << j << " channel " << c << " is " << after.At(j, c)
                                  << ", the formulas give " << want;
            }
        auto sox = ReadWithSox(doc.WorkingPath());
        ASSERT_TRUE(sox) << what;
        EXPECT_EQ(sox->rate, static_cast<int>(s.rate));
        EXPECT_EQ(sox->frames, expectedFrames);
        EXPECT_EQ(ReadWithSndfile(doc.WorkingPath())->frames, expectedFrames);
        const auto fileAfter = ReadAll(doc.WorkingPath());
        doc.Undo().UndoOrRedo(doc);
        EXPECT_EQ(ReadAll(doc.WorkingPath()), fileBefore) << what << ": undo";
        EXPECT_EQ(doc.Info().sampleRate, oldRate);
        doc.Undo().UndoOrRedo(doc);
        EXPECT_EQ(ReadAll(doc.WorkingPath()), fileAfter) << what << ": redo";
        doc.Undo().UndoOrRedo(doc);
    }
};

}  // namespace

// Every width and type, mono and stereo, down and up, several orders and rejections (−20 has
// β = 0), on random full-scale samples that reach the clamps and the 32-bit saturation.
TEST_F(ResampleRef, EveryWidthMatchesTheFormulas) {
    const ResampleSettings settings[] = {
        {65, -60, 4000},   // step 2: the phase is always 0 and the last tap reads t[N]
        {17, -20, 6300},   // a step that never repeats its phase
        {9, -40, 11025},   // upsampling: the table is a unit impulse
        {129, -100, 7000},
    };
    unsigned seed = 7;
    for (const SoundKind& kind : EveryKind()) {
        COLMDoc& doc = RandomSound(kind, 9001, seed++);
        for (const ResampleSettings& s : settings)
            Expect(doc, s, kind.Name() + " to " + std::to_string(s.rate) + " order " + std::to_string(s.order));
        app.Discard(doc);
    }
}

// Loud 16-bit material whose taps all add up: a 32-bit accumulator would wrap, 64 bits clamp.
TEST_F(ResampleRef, SixteenBitSumsDoNotWrap) {
    COLMDoc& doc = RandomSound({FileType::Wav, 2, 1}, 8000, 1);
    const auto t = ReferenceTable(1025, 0, 8000, 4000);
    SampleGrid grid = Read(doc);
    // Output 2000 reads input frames 4000 − 512 + k with taps t[k + 1].
    for (int k = 0; k < 1024; ++k) grid.At(static_cast<std::uint32_t>(4000 - 512 + k), 0) = t[k + 1] < 0 ? -32768 : 32767;
    Write(doc, grid);
    ASSERT_TRUE(Resample(doc, {1025, 0, 4000}));
    EXPECT_EQ(Read(doc).At(2000, 0), 32767);
    app.Discard(doc);
}

TEST_F(ResampleRef, TableAndTaps) {
    // Upsampling: the table is a unit impulse, so the output interpolates between frames i − 1
    // and i: centred one input frame late.
    const auto up = DesignResampleTable(65, -60, 22050, 44100);
    EXPECT_NEAR(up[32], 1.0, 1e-9);
    for (std::size_t m = 0; m < up.size(); ++m)
        if (m != 32) {
            EXPECT_NEAR(up[m], 0.0, 1e-9) << m;
        }
    EXPECT_EQ(up[65], 0.0);
    // Design against the reference for every order and rejection step.
    for (int n = 5; n <= 1025; n = 2 * n - 1)
        for (int rejection = 0; rejection >= -100; rejection -= 10) {
            const auto ours = DesignResampleTable(n, rejection, 44100, 22050);
            EXPECT_EQ(ours, ReferenceTable(n, rejection, 44100, 22050)) << n << " " << rejection;
        }
    // Output frame 0 reads input frames −H … K − H − 1.
    ResampleTaps taps;
    TapsForOutput(DesignResampleTable(9, -30, 44100, 22050), 9, 2.0, 0, taps);
    EXPECT_EQ(taps.first, -4);
    EXPECT_EQ(taps.c.size(), 8u);
    EXPECT_EQ(KaiserBeta(20), 0.0);
    // The 16-bit sum in its two forms: the same for taps within ±1.
    std::mt19937 random(3);
    std::uniform_int_distribution<std::int32_t> sample(-32768, 32767);
    std::uniform_real_distribution<double> tap(-1.0, 1.0);
    for (int run = 0; run < 1000; ++run) {
        std::int32_t x[64];
        double c[64];
        for (int k = 0; k < 64; ++k) {
            x[k] = run % 7 == 0 ? (k % 2 ? -32768 : 32767) : sample(random);
            c[k] = run % 7 == 0 ? (k % 2 ? -1.0 : 1.0) : tap(random);
        }
        double scaled[64];
        for (int k = 0; k < 64; ++k) scaled[k] = x[k] * 32768.0;
        for (int count : {4, 8, 16, 64}) {
            EXPECT_EQ(Accumulate16Scaled(scaled, c, count), Accumulate16(x, c, count)) << run << " " << count;
            EXPECT_EQ(FastestAccumulate16Scaled()(scaled, c, count), Accumulate16(x, c, count)) << run << " " << count;
        }
    }
}

TEST_F(ResampleRef, LoopMappingEscAndReadBack) {
    const std::string path = MakeSound("l.wav", "-r 44100 -b 16 -c 2", 0.5);
    {
        // The loop saved into the file's own chunks, which the working copy then holds too.
        COLMDoc& saved = app.Open(path);
        saved.Info().loopOn = true;
        saved.Info().loopStart = 1001;
        saved.Info().loopEnd = 3001;
        saved.Save();
        ASSERT_TRUE(app.Close(saved));
    }
    COLMDoc& doc = app.Open(path);
    const auto before = ReadAll(doc.WorkingPath());
    const auto files = FilesIn(work);
    progress.PressEscapeAtStep(progress.Steps() + 3);
    EXPECT_THROW(Resample(doc, {65, -60, 22050}), Cancelled);
    EXPECT_EQ(ReadAll(doc.WorkingPath()), before);
    EXPECT_EQ(doc.Info().sampleRate, 44100u);
    EXPECT_EQ(doc.Info().loopStart, 1001u);
    EXPECT_EQ(FilesIn(work), files);
    EXPECT_FALSE(doc.Undo().Enabled());

    doc.selectionStart = 10;
    doc.selectionEnd = 20;
    ASSERT_TRUE(Resample(doc, {65, -60, 22050}));
    EXPECT_EQ(doc.Info().frames, 22050u / 2);
    EXPECT_EQ(doc.Info().loopStart, 500u);
    EXPECT_EQ(doc.Info().loopEnd, 1500u);
    EXPECT_EQ(doc.selectionStart, 0u);
    EXPECT_EQ(doc.selectionEnd, 0u);
    EXPECT_EQ(FilesIn(work), files);
    const auto instrument = SndfileInstrumentOf(doc.WorkingPath());
    ASSERT_TRUE(instrument);
    ASSERT_FALSE(instrument->loops.empty());
    EXPECT_EQ(instrument->loops[0].start, 500u);
    EXPECT_EQ(ReadWithSox(doc.WorkingPath())->rate, 22050);
    EXPECT_FALSE(Resample(doc, {65, -60, 22050}));  // the same rate: nothing happens
    app.Discard(doc);
}

TEST(ResampleDialog, StepsAndLimits) {
    ResampleDialogModel d;
    d.Open(44100);
    EXPECT_EQ(d.Order(), 5);
    EXPECT_EQ(d.Rejection(), -30);
    EXPECT_EQ(d.RateText(), "44100");
    const int orders[] = {5, 9, 17, 33, 65, 129, 257, 513, 1025, 1025};
    for (int expected : orders) {
        EXPECT_EQ(d.Order(), expected);
        d.OrderUp();
    }
    for (int i = 7; i >= 0; --i) {
        d.OrderDown();
        EXPECT_EQ(d.Order(), orders[i]);
    }
    d.OrderDown();
    EXPECT_EQ(d.Order(), 5);
    for (int r = -30; r >= -100; r -= 10, d.RejectionDown()) EXPECT_EQ(d.Rejection(), r);
    EXPECT_EQ(d.Rejection(), -100);
    for (int r = -100; r <= 0; r += 10, d.RejectionUp()) EXPECT_EQ(d.Rejection(), r);
    EXPECT_EQ(d.Rejection(), 0);

    struct Case {
        const char* text;
        DialogVerdict verdict;
        std::uint32_t rate;
    } cases[] = {
        {"8000", DialogVerdict::CorrectedStayOpen, 11025},   // below the limit
        {"96000", DialogVerdict::CorrectedStayOpen, 48000},  // above it
        {"abc", DialogVerdict::CorrectedStayOpen, 11025},    // no number reads as 0
        {"022050", DialogVerdict::CorrectedStayOpen, 11025}, // more than 5 characters
        {"22050", DialogVerdict::Accepted, 22050},
        {"48000", DialogVerdict::Accepted, 48000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(d.Ok(c.text), c.verdict) << c.text;
        EXPECT_EQ(d.Rate(), c.rate) << c.text;
    }
    d.Ok("44100");
    EXPECT_TRUE(d.SameRate());
    EXPECT_TRUE(ResampleDialogModel::IsOrderStep(1025) && !ResampleDialogModel::IsOrderStep(7));
    EXPECT_TRUE(ResampleDialogModel::IsRejectionStep(0) && !ResampleDialogModel::IsRejectionStep(-15));
}
