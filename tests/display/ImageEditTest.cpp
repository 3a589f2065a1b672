#include <random>

#include "ImageTestBed.h"
#include "edit/ClipboardOps.h"
#include "edit/Selection.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class ImageEdits : public ImageTestBed {
protected:
    // A random clipboard edit or an undo/redo; ranges are often whole points, often not.
    void RandomEdit(COLMDoc& doc, std::mt19937& rng) {
        auto frame = [&](std::uint32_t limit) {
            std::uint32_t f = std::uniform_int_distribution<std::uint32_t>(0, limit)(rng);
            if (rng() % 2) f = f / 256 * 256;
            return f;
        };
        const std::uint32_t frames = doc.Info().frames;
        std::uint32_t s = frame(frames), e = frame(frames);
        if (s > e) std::swap(s, e);
        if (e - s > 6000) e = s + 6000;
        SelectFrames(doc, s, e);
        switch (rng() % 7) {
        case 0: Copy(doc, app.GetClip()); Paste(doc, app.GetClip()); break;
        case 1: if (frames > 3000) Cut(doc, app.GetClip()); break;
        case 2: Copy(doc, app.GetClip()); SelectFrames(doc, frame(doc.Info().frames), doc.Info().frames); Insert(doc, app.GetClip()); break;
        case 3: if (frames > 3000) Clear(doc); break;
        case 4: if (e - s > 1000) Trim(doc); break;
        case 5: if (app.GetClip().info.valid) { SelectFrames(doc, frame(doc.Info().frames), doc.Info().frames); Paste(doc, app.GetClip()); } break;
        default: doc.Undo().UndoOrRedo(doc); break;
        }
    }
};

}  // namespace

TEST_F(ImageEdits, AnExactImageAfterAnyEditsEqualsTheSamples) {
    struct Case { const char* name; std::uint16_t channels, bits; bool backup; };
    for (const Case& c : {Case{"s16.wav", 2, 16, true}, Case{"m8.wav", 1, 8, false},
                          Case{"s24.wav", 2, 24, true}}) {
        app.fileBackup = c.backup;
        COLMDoc& doc = app.Open(WriteWav(c.name, c.channels, c.bits, Varied(20000, c.channels, c.bits)));
        DocumentWaveform& waveform = Waveform(doc);
        std::mt19937 rng(c.bits);
        for (int round = 0; round < 40; ++round) {
            RandomEdit(doc, rng);
            WaveformImage& image = waveform.Image();
            ASSERT_NE(image.state, ImageState::Stale) << c.name << " round " << round;
            ASSERT_EQ(image.Size(), GeometryOf(doc.Info(), 256).Bytes());
            if (round % 2 == 0) {
                ASSERT_EQ(waveform.CompleteImage(), BuildOutcome::Done);
            } else {
                for (int steps = 0; waveform.RefineStep(); ++steps) ASSERT_LT(steps, 500);
            }
            ASSERT_EQ(image.state, ImageState::Exact) << c.name << " round " << round;
            ASSERT_EQ(Points(image), Recomputed(doc, 256)) << c.name << " round " << round;
        }
        app.Discard(doc);
    }
}

TEST_F(ImageEdits, CutsOfWholePointsKeepTheImageExact) {
    COLMDoc& doc = app.Open(WriteWav("a.wav", 2, 16, Varied(20000, 2, 16)));
    DocumentWaveform& waveform = Waveform(doc);
    ASSERT_EQ(waveform.CompleteImage(), BuildOutcome::Done);
    SelectFrames(doc, 512, 512 + 256 * 7);
    ASSERT_TRUE(Cut(doc, app.GetClip()));
    EXPECT_EQ(waveform.Image().state, ImageState::Exact);
    EXPECT_EQ(Points(waveform.Image()), Recomputed(doc, 256));
    // A cut of a part of a point turns the points after it into estimates.
    SelectFrames(doc, 1024, 1100);
    ASSERT_TRUE(Cut(doc, app.GetClip()));
    EXPECT_EQ(waveform.Image().state, ImageState::Partial);
    EXPECT_GT(NotExactPoints(waveform.Image(), doc.Info()), 50u);
    // Undo puts the frames back; the image follows.
    doc.Undo().UndoOrRedo(doc);
    ASSERT_EQ(waveform.CompleteImage(), BuildOutcome::Done);
    EXPECT_EQ(Points(waveform.Image()), Recomputed(doc, 256));
}
