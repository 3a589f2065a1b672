#include <gtest/gtest.h>

#include "display/ZoomRules.h"

using namespace pelmora;

TEST(ZoomRules, LadderAndVerticalSteps) {
    EXPECT_EQ(HorizontalZoomOfStep(1), 131072.0);
    EXPECT_EQ(HorizontalZoomOfStep(22), 0.0625);
    EXPECT_EQ(HorizontalZoomOfStep(11), 128.0);
    EXPECT_EQ(StepOfHorizontalZoom(128.0), 11);
    EXPECT_EQ(StepOfHorizontalZoom(100.0), 0);
    EXPECT_EQ(VerticalZoomOfStep(1), 1.2);
    EXPECT_EQ(VerticalZoomOfStep(2), 1.0);
    EXPECT_EQ(VerticalZoomOfStep(10), 0.00390625);
}

TEST(ZoomRules, FitTakesTheSmallestLadderValueThatShowsTheRange) {
    EXPECT_EQ(FitZoom(10, 800), 0.0625);       // a selection narrower than the pane
    EXPECT_EQ(FitZoom(50, 800), 0.0625);       // exactly a sixteenth of the pane
    EXPECT_EQ(FitZoom(51, 800), 0.125);
    EXPECT_EQ(FitZoom(44100, 500), 128.0);     // 88.2 frames per column
    EXPECT_EQ(FitZoom(1ull << 40, 100), 131072.0);  // never past the ladder
    EXPECT_EQ(FitZoom(1000, 0), 131072.0);     // a pane of no width divides by nothing
}

TEST(ZoomRules, ZoomChangesMoveTheVisibleRange) {
    // Zooming in keeps the first frame.
    EXPECT_EQ(RangeAfterZoom({1000, 9000}, 16, 8, 100000, 500), (VisibleRange{1000, 5000}));
    // Zooming out keeps it while the sound still fills the pane ...
    EXPECT_EQ(RangeAfterZoom({1000, 5000}, 8, 16, 100000, 500), (VisibleRange{1000, 9000}));
    // ... moves left rather than show room past the end ...
    EXPECT_EQ(RangeAfterZoom({95000, 99000}, 8, 16, 100000, 500), (VisibleRange{92000, 100000}));
    // ... and shows the whole sound when it fits.
    EXPECT_EQ(RangeAfterZoom({95000, 99000}, 8, 256, 100000, 500), (VisibleRange{0, 100000}));
}

TEST(ZoomRules, PointerAndScrolling) {
    EXPECT_EQ(FrameUnderPointer(100, 2.5, 3, 1000), 107u);  // truncated
    EXPECT_EQ(FrameUnderPointer(100, 0.0625, 15, 1000), 100u);
    EXPECT_EQ(FrameUnderPointer(900, 64, 500, 1000), 1000u);  // limited to the sound
    EXPECT_EQ(FrameUnderPointer(0, 1, -5, 1000), 0u);
    EXPECT_EQ(HorizontalScrollMaximum(10000, 10, 500), 500u);     // columns
    EXPECT_EQ(HorizontalScrollMaximum(10000, 0.5, 500), 9750u);   // frames
    EXPECT_EQ(HorizontalScrollMaximum(100, 10, 500), 0u);         // never below 0
}
