#include <unistd.h>

#include "ImageTestBed.h"
#include "display/ImageBlock.h"
#include "display/ImageColumns.h"
#include "display/PeakScanner.h"
#include "platform/File.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

SoundInfo Format(FileType type, std::uint16_t channels, std::uint16_t bits) {
    SoundInfo s;
    s.fileType = type;
    s.channels = channels;
    s.bitsPerSample = bits;
    UpdateDerivedFormat(s);
    return s;
}

std::pair<std::int32_t, std::int32_t> PairAt(const std::uint8_t* image, const ImageGeometry& g,
                                              std::uint64_t point, int channel) {
    const std::uint8_t* pair = image + point * g.PointBytes() + 2 * channel * g.width;
    return {LoadImageValue(pair, g.width), LoadImageValue(pair + g.width, g.width)};
}

class ImageBuild : public ImageTestBed {};

}  // namespace

TEST(PeakScanner, PointsDoNotDependOnHowTheFramesArrive) {
    for (auto [type, bits] : {std::pair{FileType::Wav, 24}, std::pair{FileType::Aiff, 16},
                              std::pair{FileType::Wav, 8}, std::pair{FileType::Aiff, 32}}) {
        const SoundInfo s = Format(type, 2, static_cast<std::uint16_t>(bits));
        const std::uint32_t frames = 600;  // two whole points and a short one
        std::vector<std::uint8_t> data(frames * s.blockAlign);
        std::vector<std::int32_t> values;
        std::uint32_t x = 7;
        for (std::size_t i = 0; i < frames * 2u; ++i) {
            x = x * 1103515245u + 12345u;
            const std::int32_t v = static_cast<std::int32_t>(x) >> (32 - bits);
            values.push_back(v);
            WriteSample(type, s.bytesPerSample, data.data() + i * s.bytesPerSample, v);
        }
        const ImageGeometry g = GeometryOf(Format(type, 2, static_cast<std::uint16_t>(bits)), 256);
        std::vector<std::uint8_t> whole(3 * g.PointBytes()), pieces(3 * g.PointBytes());
        PeakScanner a(s, 256), b(s, 256);
        std::size_t n = a.Scan(data.data(), frames, whole.data());
        n += a.Finish(whole.data() + n * g.PointBytes());
        EXPECT_EQ(n, 3u);
        std::size_t m = 0;
        for (std::uint32_t f = 0; f < frames; f += 7) {
            const std::uint32_t k = std::min(7u, frames - f);
            m += b.Scan(data.data() + f * s.blockAlign, k, pieces.data() + m * g.PointBytes());
        }
        m += b.Finish(pieces.data() + m * g.PointBytes());
        EXPECT_EQ(m, 3u);
        EXPECT_EQ(whole, pieces) << bits;
        for (int c = 0; c < 2; ++c) {
            std::int32_t high = INT32_MIN, low = INT32_MAX;
            for (std::uint32_t f = 512; f < frames; ++f) {
                high = std::max(high, values[f * 2 + c]);
                low = std::min(low, values[f * 2 + c]);
            }
            EXPECT_EQ(PairAt(whole.data(), g, 2, c), std::make_pair(high, low)) << bits;
        }
    }
    // 8-bit WAV samples are unsigned in the file and signed in the image.
    const SoundInfo s8 = Format(FileType::Wav, 1, 8);
    const std::uint8_t raw[] = {0x00, 0xFF, 0x80};
    std::uint8_t point[2];
    PeakScanner scanner(s8, 256);
    scanner.Scan(raw, 3, point);
    ASSERT_EQ(scanner.Finish(point), 1u);
    EXPECT_EQ(point[0], 0x7F);
    EXPECT_EQ(point[1], 0x80);
}

TEST(ImagePairs, EstimatesAreNeverExactAndThreeByteValuesAreSigned) {
    std::uint8_t pair[8];
    StoreImageValue(pair, 2, 5);
    StoreImageValue(pair + 2, 2, 5);
    ASSERT_TRUE(PairExact(pair, 2));  // a flat run is exact
    MakeEstimate(pair, 2);
    EXPECT_EQ(LoadImageValue(pair, 2), 4);
    EXPECT_EQ(LoadImageValue(pair + 2, 2), 5);
    EXPECT_FALSE(PairExact(pair, 2));
    // At the lowest value of the width the first value goes up instead.
    for (int width : {1, 2, 3, 4}) {
        StoreImageValue(pair, width, LowestValue(width));
        StoreImageValue(pair + width, width, LowestValue(width));
        MakeEstimate(pair, width);
        EXPECT_EQ(LoadImageValue(pair, width), LowestValue(width)) << width;
        EXPECT_EQ(LoadImageValue(pair + width, width), LowestValue(width) + 1) << width;
        EXPECT_FALSE(PairExact(pair, width)) << width;
        StoreEmptyPair(pair, width);
        EXPECT_FALSE(PairExact(pair, width)) << width;
    }
    StoreImageValue(pair, 3, 0x7FFFFF);
    StoreImageValue(pair + 3, 3, -0x800000);
    EXPECT_EQ(pair[3], 0x00);
    EXPECT_EQ(pair[5], 0x80);
    EXPECT_TRUE(PairExact(pair, 3));
    MakeEstimate(pair, 3);
    EXPECT_EQ(LoadImageValue(pair, 3), -0x800000);
}

TEST(ImagePairs, CoarseStrideFollowsTheDurationRoundedUpToSeconds) {
    // 8000 frames a second, 256 frames a point.
    EXPECT_EQ(CoarseStride(1843, 256, 8000), 32u);   // 58.98 s: under a minute
    EXPECT_EQ(CoarseStride(1875, 256, 8000), 17u);   // exactly 60 s
    EXPECT_EQ(CoarseStride(1876, 256, 8000), 17u);
    EXPECT_EQ(CoarseStride(18750, 256, 8000), 170u);  // ten minutes
    EXPECT_EQ(CoarseStride(337500, 256, 8000), 2048u);  // three hours
    EXPECT_EQ(CoarseStride(1, 256, 44100), 32u);
}

TEST_F(ImageBuild, OpenMakesACoarseImageWithOneExactPointPerStride) {
    // Shorter than one point: one point covers every frame.
    COLMDoc& tiny = app.Open(WriteWav("tiny.wav", 2, 16, Varied(100, 2, 16)));
    const WaveformImage& t = Waveform(tiny).Image();
    EXPECT_EQ(t.state, ImageState::Partial);
    EXPECT_EQ(Points(t), Recomputed(tiny, 256));

    // 40 points (10000 frames at 8000 Hz): points 0 and 32 computed, the others their estimates.
    COLMDoc& doc = app.Open(WriteWav("a.wav", 1, 16, Varied(10000, 1, 16)));
    const WaveformImage& image = Waveform(doc).Image();
    const ImageGeometry g = GeometryOf(doc.Info(), 256);
    const auto exact = Recomputed(doc, 256);
    ASSERT_EQ(image.Size(), exact.size());
    for (std::uint64_t p = 0; p < g.Points(); ++p) {
        const auto got = PairAt(image.Data(), g, p, 0);
        const auto source = PairAt(exact.data(), g, p < 32 ? 0 : 32, 0);
        const auto expected = p % 32 == 0 ? source : std::make_pair(source.second, source.first);
        EXPECT_EQ(got, expected) << p;
    }

    // Flat runs: exact pairs with equal values, estimates one unit apart.
    COLMDoc& flat = app.Open(WriteWav("flat.wav", 2, 16, std::vector<std::int32_t>(2 * 2000, -32768)));
    const ImageGeometry fg = GeometryOf(flat.Info(), 256);
    const WaveformImage& fi = Waveform(flat).Image();
    EXPECT_EQ(PairAt(fi.Data(), fg, 0, 1), std::make_pair(-32768, -32768));
    EXPECT_EQ(PairAt(fi.Data(), fg, 1, 1), std::make_pair(-32768, -32767));
    EXPECT_FALSE(PointExact(fi.Data() + fg.PointBytes(), fg));
}

TEST_F(ImageBuild, PointsTheFileCannotSupplyBecomeEmptyPairs) {
    COLMDoc& doc = app.Open(WriteWav("a.wav", 1, 16, Varied(10000, 1, 16)));
    WaveformImage& image = Waveform(doc).Image();
    // The working copy loses its samples from frame 5000 on, behind the document's back.
    ASSERT_EQ(::truncate(doc.WorkingPath().c_str(), doc.Info().dataOffset + 5000 * 2), 0);
    CoarseImagePass(doc, image, 0, image.Size());
    const ImageGeometry g = GeometryOf(doc.Info(), 256);
    EXPECT_EQ(image.state, ImageState::Partial);
    EXPECT_EQ(PairAt(image.Data(), g, 0, 0), PairAt(Recomputed(doc, 256).data(), g, 0, 0));
    for (std::uint64_t p = 32; p < g.Points(); ++p) EXPECT_EQ(PairAt(image.Data(), g, p, 0), std::make_pair(-1, 0));
}

TEST_F(ImageBuild, FullBuildComputesEveryPointAndEscHidesTheWaveform) {
    COLMDoc& doc = app.Open(WriteWav("a.wav", 2, 16, Varied(300000, 2, 16)));
    DocumentWaveform& waveform = Waveform(doc);
    ASSERT_EQ(waveform.CompleteImage(), BuildOutcome::Done);
    EXPECT_EQ(waveform.Image().state, ImageState::Exact);
    EXPECT_EQ(Points(waveform.Image()), Recomputed(doc, 256));
    EXPECT_EQ(progress.StatusesShown().back(), StringId::CreatingWaveformImage);
    EXPECT_EQ(progress.Range(), 3u);  // blocks of 131072 frames
    ASSERT_TRUE(waveform.Image().imageTime.has_value());

    // ESC over a coarse (Partial) image hides the waveform but keeps the image.
    COLMDoc& other = app.Open(WriteWav("b.wav", 2, 16, Varied(300000, 2, 16, 5)));
    DocumentWaveform& w2 = Waveform(other);
    progress.PressEscapeAtStep(progress.Steps() + 1);
    EXPECT_EQ(w2.CompleteImage(), BuildOutcome::Cancelled);
    EXPECT_FALSE(w2.Image().waveformShown);
    EXPECT_TRUE(w2.Image().HasMemory());
    EXPECT_EQ(w2.Image().state, ImageState::Partial);
    EXPECT_FALSE(progress.IsActive());

    // ESC over an image that is not Partial drops it; showing the waveform again rebuilds it
    // (the view is zoomed out far enough to draw from the image).
    w2.Image().state = ImageState::Stale;
    w2.Image().waveformShown = true;
    progress.PressEscapeAtStep(progress.Steps() + 2);
    EXPECT_EQ(BuildImage(other, w2.Image(), 0, other.Info().frames), BuildOutcome::Cancelled);
    EXPECT_FALSE(w2.Image().HasMemory());
    EXPECT_EQ(w2.Image().state, ImageState::Stale);
    EXPECT_EQ(ImageByteSize(w2.Image(), other.Info()), 0u);
    w2.SetZoom(1024);
    EXPECT_FALSE(w2.Image().HasMemory());  // hidden: nothing is built
    w2.ShowWaveform(true);
    EXPECT_EQ(w2.Image().state, ImageState::Exact);
    EXPECT_EQ(Points(w2.Image()), Recomputed(other, 256));
}

TEST_F(ImageBuild, BuildOverPartOfTheSoundStaysPartialWhileEstimatesRemain) {
    COLMDoc& doc = app.Open(WriteWav("a.wav", 1, 16, Varied(300000, 1, 16)));
    WaveformImage& image = Waveform(doc).Image();
    EXPECT_EQ(BuildImage(doc, image, 0, 131072), BuildOutcome::Done);
    EXPECT_EQ(image.state, ImageState::Partial);
    const ImageGeometry g = GeometryOf(doc.Info(), 256);
    const auto exact = Recomputed(doc, 256);
    EXPECT_TRUE(std::equal(image.Data(), image.Data() + 512 * g.PointBytes(), exact.begin()));
    EXPECT_GT(NotExactPoints(image, doc.Info()), 0u);
}

TEST_F(ImageBuild, RefinementComputesOneRunPerStepUntilExact) {
    COLMDoc& doc = app.Open(WriteWav("a.wav", 1, 16, Varied(300000, 1, 16)));
    DocumentWaveform& waveform = Waveform(doc);
    std::size_t left = NotExactPoints(waveform.Image(), doc.Info());
    ASSERT_GT(left, 0u);
    int steps = 0;
    while (waveform.RefineStep()) {
        const std::size_t now = NotExactPoints(waveform.Image(), doc.Info());
        EXPECT_LT(now, left);
        EXPECT_LE(left - now, 512u);  // at most one block of 131072 frames
        left = now;
        ASSERT_LT(++steps, 2000);
    }
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(waveform.Image().state, ImageState::Exact);
    EXPECT_EQ(Points(waveform.Image()), Recomputed(doc, 256));
}

TEST_F(ImageBuild, ColumnsTakeTheirPointsFromMemoryOrFromTheImageFile) {
    COLMDoc& doc = app.Open(WriteWav("a.wav", 2, 16, Varied(10000, 2, 16)));
    DocumentWaveform& waveform = Waveform(doc);
    ASSERT_EQ(waveform.CompleteImage(), BuildOutcome::Done);
    const ImageGeometry g = GeometryOf(doc.Info(), 256);
    const auto exact = Recomputed(doc, 256);
    // 1024 frames a column: 4 points; frame 300 starts at point 2; 38 points make 9 columns and
    // a last one of the 2 that remain.
    const ImageColumns columns = ReadImageColumns(waveform.Image(), doc.Info(), 1024.7, 300, 20);
    ASSERT_EQ(columns.columns, 10u);
    for (std::uint32_t col = 0; col < columns.columns; ++col) {
        for (int c = 0; c < 2; ++c) {
            std::int32_t high = INT32_MIN, low = INT32_MAX;
            for (std::uint64_t p = 2 + col * 4; p < std::min<std::uint64_t>(g.Points(), 6 + col * 4); ++p) {
                high = std::max(high, PairAt(exact.data(), g, p, c).first);
                low = std::min(low, PairAt(exact.data(), g, p, c).second);
            }
            EXPECT_EQ(columns.At(col, static_cast<std::uint16_t>(c)).high, high) << col;
            EXPECT_EQ(columns.At(col, static_cast<std::uint16_t>(c)).low, low) << col;
        }
    }
    EXPECT_EQ(ReadImageColumns(waveform.Image(), doc.Info(), 128, 0, 10).columns, 0u);

    // Without memory the points come from the image file, which goes with the document.
    const std::string file = work + "/OLM_IMAGE_test";
    WriteAll(file, Points(waveform.Image()));
    WaveformImage& image = waveform.Image();
    image.Free();
    image.imageFileName = file;
    EXPECT_EQ(ImageByteSize(image, doc.Info()), exact.size());
    const ImageColumns fromFile = ReadImageColumns(image, doc.Info(), 1024, 300, 20);
    ASSERT_EQ(fromFile.columns, 10u);
    for (std::size_t i = 0; i < columns.extents.size(); ++i) {
        EXPECT_EQ(fromFile.extents[i].high, columns.extents[i].high);
        EXPECT_EQ(fromFile.extents[i].low, columns.extents[i].low);
    }
    EXPECT_EQ(doc.WorkingDirectoryFilesSize() >= exact.size(), true);
    ASSERT_TRUE(app.Close(doc));
    EXPECT_FALSE(platform::FileExists(file));
}
