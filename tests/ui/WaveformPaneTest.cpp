// The waveform pane drawn offscreen: where the waveform, the rulers, the selection and the
// overview land, and what mouse gestures do to the document.

#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#include "app/ApplicationState.h"
#include "base/SilentProgress.h"
#include "display/ui/PaneWForm.h"
#include "sound/Bytes.h"
#include "sound/SampleCodec.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// A stereo 16-bit WAV: the left channel at +half scale for the first half and silent after it,
// the right channel silent throughout.
std::string HalfLoudStereo(const TempDir& dir, std::uint32_t frames) {
    std::vector<std::uint8_t> file(44 + std::size_t(frames) * 4, 0);
    std::copy_n("RIFF", 4, file.begin());
    StoreLE32(file.data() + 4, static_cast<std::uint32_t>(file.size() - 8));
    std::copy_n("WAVEfmt ", 8, file.begin() + 8);
    StoreLE32(file.data() + 16, 16);
    StoreLE16(file.data() + 20, 1);
    StoreLE16(file.data() + 22, 2);
    StoreLE32(file.data() + 24, 8000);
    StoreLE32(file.data() + 28, 32000);
    StoreLE16(file.data() + 32, 4);
    StoreLE16(file.data() + 34, 16);
    std::copy_n("data", 4, file.begin() + 36);
    StoreLE32(file.data() + 40, frames * 4);
    for (std::uint32_t f = 0; f < frames / 2; ++f) WriteSample(FileType::Wav, 2, file.data() + 44 + f * 4, 16384);
    const std::string path = dir.File("half.wav");
    WriteAll(path, file);
    return path;
}

// A mono 16-bit WAV whose frame i holds i × `step`: a ramp.
std::string RampMono(const TempDir& dir, std::uint32_t frames, std::int32_t step) {
    std::vector<std::uint8_t> file(44 + std::size_t(frames) * 2, 0);
    std::copy_n("RIFF", 4, file.begin());
    StoreLE32(file.data() + 4, static_cast<std::uint32_t>(file.size() - 8));
    std::copy_n("WAVEfmt ", 8, file.begin() + 8);
    StoreLE32(file.data() + 16, 16);
    StoreLE16(file.data() + 20, 1);
    StoreLE16(file.data() + 22, 1);
    StoreLE32(file.data() + 24, 8000);
    StoreLE32(file.data() + 28, 16000);
    StoreLE16(file.data() + 32, 2);
    StoreLE16(file.data() + 34, 16);
    std::copy_n("data", 4, file.begin() + 36);
    StoreLE32(file.data() + 40, frames * 2);
    for (std::uint32_t f = 0; f < frames; ++f)
        WriteSample(FileType::Wav, 2, file.data() + 44 + f * 2, std::min<std::int32_t>(32767, -32768 + std::int32_t(f) * step));
    const std::string path = dir.File("ramp.wav");
    WriteAll(path, file);
    return path;
}

class WaveformPaneTest : public ::testing::Test {
protected:
    WaveformPaneTest() : app(prompter, progress) {
        std::filesystem::create_directories(dir.File("work"));
        app.SetWorkDirAtStartup(dir.File("work"));
        EXPECT_TRUE(app.CreateClipFile());
    }

    CPaneWForm& Show(COLMDoc& doc) {
        pane = std::make_unique<CPaneWForm>(doc);
        pane->resize(720, 420);
        pane->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(pane.get()));
        return *pane;
    }

    // Whether any pixel of column x between rows y0 and y1 has the colour.
    static bool ColumnHas(const QImage& shot, int x, int y0, int y1, QColor colour) {
        for (int y = y0; y <= y1; ++y)
            if (shot.pixelColor(x, y) == colour) return true;
        return false;
    }

    TempDir dir;
    ScriptedPrompter prompter;
    SilentProgress progress;
    ApplicationState app;
    std::unique_ptr<CPaneWForm> pane;
};

TEST_F(WaveformPaneTest, WaveformRulersAndSelectionAreDrawnWhereTheyBelong) {
    COLMDoc& doc = app.Open(HalfLoudStereo(dir, 64'000));
    doc.view.levelRulerSetting = kRulerShown | kLevelRulerPercent;
    CPaneWForm& p = Show(doc);
    const QRect wave = p.WaveformRect();
    ASSERT_GT(wave.width(), 500);
    EXPECT_EQ(p.OverviewRect().height(), 82);
    EXPECT_EQ(p.TimeRulerRect().top(), 82);
    EXPECT_EQ(p.LevelRulerRect().right() + 1, wave.left());
    EXPECT_EQ(doc.view.horizontalZoom, 128.0);
    EXPECT_EQ(doc.view.lastVisible, 64000u) << "the whole sound fits at 128 frames per column";

    doc.selectionStart = 128 * 100;
    doc.selectionEnd = 128 * 200;
    doc.Info().channelFirst = 0;
    doc.Info().channelEnd = 1;
    p.Redraw();
    const QImage shot = p.grab().toImage();
    const QColor wavePen(120, 210, 140);
    const int strip = wave.height() / 2;
    const int leftMid = wave.top() + strip / 2;
    // 16384 is half scale: the left channel's line reaches half way up its strip, then stops.
    const int expectedTop = leftMid - static_cast<int>(std::lround(0.5 * (strip / 2.0 - 1.0)));
    const int loudColumn = wave.left() + 50;
    EXPECT_TRUE(ColumnHas(shot, loudColumn, expectedTop - 1, expectedTop + 1, wavePen));
    EXPECT_FALSE(ColumnHas(shot, loudColumn, wave.top(), expectedTop - 3, wavePen));
    const int silentColumn = wave.left() + 300;  // frame 38400: past the loud half
    EXPECT_FALSE(ColumnHas(shot, silentColumn, wave.top(), leftMid - 2, wavePen));

    // The selection tints the left strip only, between its columns.
    const QColor inside = shot.pixelColor(wave.left() + 150, wave.top() + 3);
    const QColor outside = shot.pixelColor(wave.left() + 250, wave.top() + 3);
    const QColor rightStrip = shot.pixelColor(wave.left() + 150, wave.top() + strip + 3);
    EXPECT_NE(inside, outside);
    EXPECT_EQ(rightStrip, outside);

    // A long, labelled tick at the left edge of the time ruler and a short one 16 columns on.
    const QRect ruler = p.TimeRulerRect();
    EXPECT_EQ(shot.pixelColor(wave.left(), ruler.top() + ruler.height() / 4 + 1), QColor(Qt::black));
    EXPECT_NE(shot.pixelColor(wave.left() + 16, ruler.top() + ruler.height() / 4 + 1), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(wave.left() + 16, ruler.bottom() - 1), QColor(Qt::black));
    // The level ruler marks the middle of each strip.
    const QRect level = p.LevelRulerRect();
    EXPECT_EQ(shot.pixelColor(level.right() - 1, leftMid), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(level.right() - 1, leftMid + strip), QColor(Qt::black));
}

TEST_F(WaveformPaneTest, MouseSelectsPerStripPlacesTheCursorAndMovesLoopMarkers) {
    COLMDoc& doc = app.Open(HalfLoudStereo(dir, 64'000));
    CPaneWForm& p = Show(doc);
    const QRect wave = p.WaveformRect();
    const int upper = wave.top() + wave.height() / 4, lower = wave.top() + 3 * wave.height() / 4;

    QTest::mouseClick(&p, Qt::LeftButton, {}, QPoint(wave.left() + 40, lower));
    EXPECT_EQ(doc.selectionStart, 128u * 40);
    EXPECT_EQ(doc.Info().channelFirst, 1);

    QTest::mousePress(&p, Qt::LeftButton, {}, QPoint(wave.left() + 10, upper));
    QTest::mouseMove(&p, QPoint(wave.left() + 60, lower));
    QTest::mouseRelease(&p, Qt::LeftButton, {}, QPoint(wave.left() + 60, lower));
    EXPECT_EQ(doc.selectionStart, 128u * 10);
    EXPECT_EQ(doc.selectionEnd, 128u * 60);
    EXPECT_EQ(doc.Info().channelEnd - doc.Info().channelFirst, 2);

    QTest::mouseClick(&p, Qt::LeftButton, Qt::ShiftModifier, QPoint(wave.left() + 90, upper));
    EXPECT_EQ(doc.selectionEnd, 128u * 90);

    const QRect ruler = p.TimeRulerRect();
    QTest::mouseClick(&p, Qt::LeftButton, {}, QPoint(wave.left() + 100, ruler.top() + 4));
    EXPECT_EQ(doc.playCursor, 128u * 100);
    QTest::mouseClick(&p, Qt::LeftButton, Qt::ControlModifier, QPoint(wave.left() + 120, ruler.top() + 4));
    QTest::mouseClick(&p, Qt::RightButton, {}, QPoint(wave.left() + 180, ruler.top() + 4));
    EXPECT_EQ(doc.Info().loopStart, 128u * 120);
    EXPECT_EQ(doc.Info().loopEnd, 128u * 180);
}

TEST_F(WaveformPaneTest, AnUnreadableWorkingCopyIsSaidNotDrawnAndFarFramesStayOnScreen) {
    COLMDoc& doc = app.Open(HalfLoudStereo(dir, 64'000));
    CPaneWForm& p = Show(doc);
    const QRect wave = p.WaveformRect();
    ASSERT_TRUE(SetZoom(doc, kMinHorizontalZoom, 1.0, p.Context()));
    EXPECT_EQ(p.XOfFrame(200'000'000), wave.left() + p.width() + 2) << "no int overflow at the finest zoom";

    std::filesystem::resize_file(doc.WorkingPath(), 100);
    p.Redraw();
    const QImage shot = p.grab().toImage();
    int red = 0, wavePixels = 0;
    for (int y = wave.top(); y <= wave.bottom(); ++y) {
        for (int x = wave.left(); x <= wave.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 80;
            wavePixels += c == QColor(120, 210, 140);
        }
    }
    EXPECT_GT(red, 20) << "\"File read error\" is written in the pane";
    EXPECT_EQ(wavePixels, 0);
}

TEST_F(WaveformPaneTest, AtSampleZoomEachFrameIsOneStep) {
    // A ramp at zoom 1/8: every frame is 8 columns wide. Each column but a step's first shows
    // one pixel, level with its step; the first column joins the previous frame's level with
    // one vertical line. No diagonals between the steps.
    COLMDoc& doc = app.Open(RampMono(dir, 4000, 700));
    CPaneWForm& p = Show(doc);
    for (bool connect : {true, false}) {
        doc.view.connectDots = connect;
        ASSERT_TRUE(SetZoom(doc, 0.125, 1.0, p.Context()) || doc.view.horizontalZoom == 0.125);
        p.Redraw();
        const QImage shot = p.grab().toImage();
        const QRect wave = p.WaveformRect();
        const QColor wavePen(120, 210, 140);
        auto lit = [&](int x) {
            std::vector<int> rows;
            for (int y = wave.top(); y <= wave.bottom(); ++y)
                if (shot.pixelColor(x, y) == wavePen) rows.push_back(y);
            return rows;
        };
        int previousLevel = -1;
        for (int step = 1; step < 40; ++step) {
            const int x0 = wave.left() + step * 8;
            const std::vector<int> level = lit(x0 + 1);
            ASSERT_EQ(level.size(), 1u) << "step " << step << (connect ? " joined" : " apart");
            for (int x = x0 + 2; x < x0 + 8; ++x) EXPECT_EQ(lit(x), level) << "step " << step;
            const std::vector<int> first = lit(x0);
            if (previousLevel < 0) {
                // The previous frame's column is left out of the check: the cursors are drawn there.
            } else if (!connect) {
                EXPECT_EQ(first, level) << "step " << step;
            } else {
                // One vertical run from the previous frame's level to this one's.
                ASSERT_FALSE(first.empty());
                EXPECT_EQ(first.front(), level[0]) << "the ramp rises: this level is on top";
                EXPECT_EQ(first.back(), previousLevel);
                EXPECT_EQ(first.size(), std::size_t(previousLevel - level[0] + 1));
            }
            previousLevel = level[0];
        }
    }
}

TEST_F(WaveformPaneTest, SelectAllCoversTheLastColumn) {
    // 64050 frames at 128 frames a column: the last column holds only 50 frames.
    COLMDoc& doc = app.Open(HalfLoudStereo(dir, 64'050));
    CPaneWForm& p = Show(doc);
    ASSERT_EQ(doc.view.horizontalZoom, 128.0);
    doc.selectionStart = 0;
    doc.selectionEnd = doc.Info().frames;
    p.Redraw();
    const QImage shot = p.grab().toImage();
    const QRect wave = p.WaveformRect();
    const int y = wave.top() + 3;
    const QColor tinted = shot.pixelColor(wave.left() + 10, y);
    EXPECT_EQ(shot.pixelColor(wave.left() + 500, y), tinted);
    EXPECT_NE(shot.pixelColor(wave.left() + 502, y), tinted) << "nothing past the sound's end";
}

TEST_F(WaveformPaneTest, DraggingPastTheEdgeScrollsAndTheOverviewBandZooms) {
    COLMDoc& doc = app.Open(HalfLoudStereo(dir, 400'000));
    CPaneWForm& p = Show(doc);
    const QRect wave = p.WaveformRect();
    const int y = wave.top() + 10;
    QTest::mousePress(&p, Qt::LeftButton, {}, QPoint(wave.left() + 5, y));
    QTest::mouseMove(&p, QPoint(wave.right() + 20, y));
    QTest::qWait(200);  // the pane keeps scrolling while the button stays down
    QTest::mouseRelease(&p, Qt::LeftButton, {}, QPoint(wave.right() + 20, y));
    EXPECT_GT(doc.view.firstVisible, 0u);
    EXPECT_EQ(doc.selectionEnd, doc.view.lastVisible);

    const QRect strip = p.OverviewRect();
    QTest::mousePress(&p, Qt::LeftButton, {}, QPoint(strip.left() + 100, strip.top() + 20));
    QTest::mouseMove(&p, QPoint(strip.left() + 140, strip.top() + 20));
    QTest::mouseRelease(&p, Qt::LeftButton, {}, QPoint(strip.left() + 140, strip.top() + 20));
    const double stripZoom = FitZoom(400'000, strip.width());
    EXPECT_EQ(doc.view.firstVisible, static_cast<std::uint32_t>(100 * stripZoom));
    EXPECT_EQ(doc.view.horizontalZoom, FitZoom(static_cast<std::uint64_t>(40 * stripZoom), wave.width()));
}

}  // namespace
