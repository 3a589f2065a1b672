// The waveform pane's view rules: zoom, fit, scrolling, the overview band and the rulers.

#include "ImageTestBed.h"
#include "display/Overview.h"
#include "display/Rulers.h"
#include "display/WaveformView.h"

namespace pelmora::test {
namespace {

class WaveformViewTest : public ImageTestBed {
protected:
    COLMDoc& Open(std::uint32_t frames, std::uint16_t channels = 1) {
        return app.Open(WriteWav("view.wav", channels, 16, Varied(frames, channels, 16), 44100));
    }
    PaneContext pane{1000, Transport::Idle, false};
};

TEST_F(WaveformViewTest, ZoomingInKeepsTheFirstFrameAndZoomingOutKeepsTheEndInView) {
    COLMDoc& doc = Open(2'000'000);
    ShowFromStart(doc, pane.width);
    ASSERT_TRUE(SetZoom(doc, 1024, 1.0, pane));
    ASSERT_TRUE(ScrollToFrame(doc, 500'000, pane));
    ASSERT_TRUE(SetZoom(doc, kMinHorizontalZoom, 1.0, pane));
    EXPECT_EQ(doc.view.firstVisible, 500'000u);
    EXPECT_EQ(doc.view.lastVisible, 500'000u + 62u);
    EXPECT_EQ(doc.view.previousHorizontalZoom, 1024.0);

    // Near the end, zooming out keeps the end of the sound at the right edge.
    ASSERT_TRUE(ScrollToFrame(doc, 1'999'990, pane));
    ASSERT_TRUE(SetZoom(doc, 1024, 1.0, pane));
    EXPECT_EQ(doc.view.lastVisible, 2'000'000u);
    EXPECT_EQ(doc.view.firstVisible, 2'000'000u - 1'024'000u);

    // A sound narrower than the pane is shown from frame 0, whatever the scroll position was.
    ASSERT_TRUE(SetZoom(doc, kMaxHorizontalZoom, 1.0, pane));
    EXPECT_EQ(doc.view.firstVisible, 0u);
    EXPECT_EQ(doc.view.lastVisible, 2'000'000u);
    EXPECT_EQ(ScrollPosition(doc), 0u);
    EXPECT_EQ(HorizontalScrollMaximum(doc.Info().frames, doc.view.horizontalZoom, pane.width), 0u);
}

TEST_F(WaveformViewTest, FullZoomsFitsAndPreviousZoom) {
    COLMDoc& doc = Open(100'000);
    ShowFromStart(doc, pane.width);
    EXPECT_TRUE(VerticalFullZoomIn(doc, pane));
    EXPECT_EQ(VerticalStepOf(doc.view.verticalZoom), kVerticalSteps);
    EXPECT_FALSE(VerticalFullZoomIn(doc, pane)) << "already there";
    EXPECT_TRUE(VerticalFullZoomOut(doc, pane));
    EXPECT_EQ(doc.view.verticalZoom, 1.2);

    // A selection narrower in frames than the pane in columns fits at the finest zoom.
    doc.selectionStart = 40'000;
    doc.selectionEnd = 40'050;
    ASSERT_TRUE(FitToSelection(doc, pane));
    EXPECT_EQ(doc.view.horizontalZoom, kMinHorizontalZoom);
    EXPECT_EQ(doc.view.firstVisible, 40'000u);
    doc.selectionStart = 80'000;
    doc.selectionEnd = 98'000;
    ASSERT_TRUE(FitToSelection(doc, pane));
    EXPECT_EQ(doc.view.horizontalZoom, 32.0);  // 18000 frames in 1000 columns
    EXPECT_EQ(doc.view.firstVisible, 100'000u - 32'000u) << "near the end the view ends at the last frame";

    // Previous Zoom exchanges the two pairs.
    EXPECT_TRUE(PreviousZoom(doc, pane));
    EXPECT_EQ(doc.view.horizontalZoom, kMinHorizontalZoom);
    EXPECT_TRUE(PreviousZoom(doc, pane));
    EXPECT_EQ(doc.view.horizontalZoom, 32.0);

    EXPECT_TRUE(ZoomHorizontalBy(doc, 0.5, pane));
    EXPECT_EQ(doc.view.horizontalZoom, 16.0);
    ASSERT_TRUE(HorizontalFullZoomIn(doc, pane));
    EXPECT_FALSE(ZoomHorizontalBy(doc, 0.5, pane)) << "the zoom-in button at 0.0625 does nothing";
}

TEST_F(WaveformViewTest, PlayingRefusesWhatWouldReadSamples) {
    COLMDoc& doc = Open(100'000);
    ShowFromStart(doc, pane.width);
    PaneContext playing{pane.width, Transport::Playing, true};
    WaveformOf(doc)->CompleteImage();
    EXPECT_FALSE(HorizontalFullZoomIn(doc, playing));
    EXPECT_FALSE(SetZoom(doc, 1.0, 1.0, playing)) << "finer than the image";
    EXPECT_TRUE(SetZoom(doc, 512.0, 1.0, playing)) << "the image holds it";
    EXPECT_TRUE(ScrollToFrame(doc, 10, playing));
    PaneContext other{pane.width, Transport::Idle, true};
    ASSERT_TRUE(SetZoom(doc, 1.0, 1.0, pane));
    EXPECT_FALSE(StepVerticalZoom(doc, 1, other)) << "another document plays and this one reads samples";
    EXPECT_FALSE(ScrollByUnits(doc, 16, other));
}

TEST_F(WaveformViewTest, ScrollingInUnitsOfFramesOrColumns) {
    COLMDoc& doc = Open(100'000);
    ShowFromStart(doc, pane.width);
    ASSERT_TRUE(SetZoom(doc, 4.0, 1.0, pane));
    ASSERT_TRUE(ScrollByUnits(doc, kScrollPageUnits, pane));
    EXPECT_EQ(doc.view.firstVisible, 64u);
    EXPECT_EQ(ScrollPosition(doc), 16u);
    ASSERT_TRUE(ScrollToPosition(doc, 1'000'000, pane));
    EXPECT_EQ(doc.view.lastVisible, 100'000u);
    EXPECT_EQ(ScrollPosition(doc), HorizontalScrollMaximum(100'000, 4.0, pane.width));
    ASSERT_TRUE(SetZoom(doc, 0.25, 1.0, pane));
    ASSERT_TRUE(ScrollToPosition(doc, 500, pane));
    EXPECT_EQ(doc.view.firstVisible, 500u) << "below one frame per column a unit is a frame";
    EXPECT_FALSE(RevealFrame(doc, 600, pane));
    EXPECT_TRUE(RevealFrame(doc, 10, pane));
    EXPECT_EQ(doc.view.firstVisible, 10u);
    EXPECT_EQ(FrameAtColumn(doc, 8), 12u);
    EXPECT_DOUBLE_EQ(ColumnOfFrame(doc, 12), 8.0);
}

TEST_F(WaveformViewTest, APaneWithoutWidthChangesNothingAndDividesByNothing) {
    COLMDoc& doc = Open(10'000);
    const PaneContext none{0, Transport::Idle, false};
    ShowFromStart(doc, 0);
    EXPECT_EQ(doc.view.lastVisible, 0u);
    EXPECT_FALSE(FitToSelection(doc, none));
    EXPECT_TRUE(ScrollToPosition(doc, 50, none));
    EXPECT_EQ(ScrollPosition(doc), 0u);
    EXPECT_FALSE(ApplyOverviewBand(doc, 0, 10, 0, none));
    EXPECT_TRUE(SetZoom(doc, 1.0, 1.0, none));
    EXPECT_EQ(FitZoom(std::uint64_t{1} << 40, 100), kMaxHorizontalZoom) << "a fit zoom is at most 131072";
}

TEST_F(WaveformViewTest, OverviewBandZoomsOrScrollsTheMainView) {
    COLMDoc& doc = Open(1'000'000);
    ShowFromStart(doc, pane.width);
    const int strip = 500;
    EXPECT_EQ(OverviewZoom(doc, strip), 2048.0);
    ASSERT_TRUE(ApplyOverviewBand(doc, 100, 150, strip, pane));  // frames 204800 … 307200
    EXPECT_EQ(doc.view.horizontalZoom, 128.0);
    EXPECT_EQ(doc.view.firstVisible, 204'800u);
    const ColumnSpan span = VisibleRangeInOverview(doc, strip);
    EXPECT_EQ(span.first, 100);
    EXPECT_EQ(span.last, 163);
    ASSERT_TRUE(ApplyOverviewBand(doc, 480, 480, strip, pane));
    EXPECT_EQ(doc.view.horizontalZoom, 128.0);
    EXPECT_EQ(doc.view.lastVisible, 1'000'000u) << "near the end the view ends at the frame count";
}

TEST(RulerTest, TimeTicksAndLabels) {
    EXPECT_EQ(TimeRulerLabel(kTimeRulerTime, 44100, 44100 * 3661 + 441), "01:01:01.010");
    EXPECT_EQ(TimeRulerLabel(kTimeRulerSample, 44100, 123456), "123456");
}

TEST_F(WaveformViewTest, TimeRulerTicksFollowTheVisibleRange) {
    COLMDoc& doc = Open(1'000'000);
    ShowFromStart(doc, pane.width);
    ASSERT_TRUE(SetZoom(doc, 0.0625, 1.0, pane));
    ASSERT_TRUE(ScrollToFrame(doc, 1000, pane));
    doc.view.timeRulerSetting = kRulerShown | kTimeRulerSample;
    const auto ticks = TimeRulerTicks(doc, 330);
    ASSERT_EQ(ticks.size(), 21u);
    EXPECT_EQ(ticks[0].label, "1000");
    EXPECT_EQ(ticks[1].frame, 1001u);
    EXPECT_FALSE(ticks[1].labelled);
    EXPECT_EQ(ticks[20].x, 320);
    EXPECT_EQ(ticks[20].label, "1020");
}

TEST_F(WaveformViewTest, TimeLabelsNeverRepeatAtHighZoom) {
    // 44100 Hz: at zoom 1/16 long ticks are 10 frames (0.23 ms) apart, at zoom 1/4 40 frames
    // (0.9 ms), at zoom 1 160 frames (3.6 ms).
    COLMDoc& doc = Open(1'000'000);
    ShowFromStart(doc, pane.width);
    doc.view.timeRulerSetting = kRulerShown | kTimeRulerTime;
    struct Case {
        double zoom;
        std::uint32_t first;
        std::size_t minLabels, maxLabels;
    };
    // 0.999, 1.000 (five times), 1.001 s; 0, 0.9, 1.8 … 5.4 ms; 0, 3.6 … 21.8 ms.
    for (const Case c : {Case{0.0625, 44'090, 3, 3}, Case{0.25, 0, 6, 6}, Case{1.0, 0, 7, 7}}) {
        ASSERT_TRUE(SetZoom(doc, c.zoom, 1.0, pane));
        ASSERT_TRUE(ScrollToFrame(doc, c.first, pane));
        ASSERT_EQ(doc.view.firstVisible, c.first);
        const auto ticks = TimeRulerTicks(doc, 1000);
        std::vector<std::string> labels;
        int longTicks = 0;
        for (const TimeTick& t : ticks) {
            longTicks += t.labelled;
            if (!t.label.empty()) labels.push_back(t.label);
        }
        EXPECT_EQ(longTicks, 7) << c.zoom;
        EXPECT_EQ(labels.front(), TimeRulerLabel(kTimeRulerTime, 44100, doc.view.firstVisible)) << c.zoom;
        EXPECT_GE(labels.size(), c.minLabels) << c.zoom;
        EXPECT_LE(labels.size(), c.maxLabels) << c.zoom;
        for (std::size_t i = 1; i < labels.size(); ++i) EXPECT_LT(labels[i - 1], labels[i]) << c.zoom;
    }
}

TEST(RulerTest, LevelLabelsInEachMode) {
    auto labels = [](std::uint16_t mode, int bytes, double zoom) {
        std::vector<std::string> out;
        for (const LevelMark& m : LevelRulerMarks(mode, bytes, zoom)) out.push_back(m.label);
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(labels(kLevelRulerPercent, 2, 1.0), (V{"100", "50", "0", "-50", "-100"}));
    EXPECT_EQ(labels(kLevelRulerDecibel, 2, 1.0), (V{"0.00", "-6.02", "-inf", "-6.02", "0.00"}));
    EXPECT_EQ(labels(kLevelRulerValue, 2, 1.0), (V{"7FFF", "4000", "0000", "C000", "8000"}));
    EXPECT_EQ(labels(kLevelRulerValue, 1, 0.5)[4], "C0");
    EXPECT_EQ(labels(kLevelRulerValue, 4, 1.0)[4], "80000000");
    EXPECT_EQ(LevelRulerWidthFactor(kLevelRulerValue, 3), 2.75);
    EXPECT_EQ(LevelRulerWidthFactor(kLevelRulerValue, 4), 3.0);
}

}  // namespace
}  // namespace pelmora::test
