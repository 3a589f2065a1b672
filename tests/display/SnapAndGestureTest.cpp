// Snapping edges to zero crossings and levels, and the mouse rules of selections and loop markers.

#include "ImageTestBed.h"
#include "display/SelectionGesture.h"
#include "display/SnapEdge.h"

namespace pelmora::test {
namespace {

class SnapTest : public ImageTestBed {
protected:
    COLMDoc& OpenSamples(const std::vector<std::int32_t>& samples, std::uint16_t channels = 1) {
        return app.Open(WriteWav("snap.wav", channels, 16, samples));
    }
    static SnapRequest Zero(std::uint32_t from, std::uint32_t toward, ChannelRange ch = {0, 1}) {
        return {SnapMode::ZeroCross, from, toward, ch};
    }
};

TEST_F(SnapTest, ZeroCrossFindsTheLaterFrameOfACrossingInEitherDirection) {
    //                               0    1    2   3   4   5   6    7    8
    COLMDoc& doc = OpenSamples({-5, -3, -1, 2, 4, 6, 3, -2, -4});
    EXPECT_EQ(SnapEdge(doc, Zero(0, 8)), 3u);
    EXPECT_EQ(SnapEdge(doc, Zero(4, 8)), 7u);
    EXPECT_EQ(SnapEdge(doc, Zero(5, 0)), 3u);
    EXPECT_EQ(SnapEdge(doc, Zero(6, 0)), 7u) << "backward, the search starts one frame after the edge";
    EXPECT_EQ(SnapEdge(doc, Zero(3, 8)), 3u) << "a click exactly on a crossing keeps that frame";
    EXPECT_EQ(SnapEdge(doc, Zero(3, 0)), 3u);
    EXPECT_EQ(SnapEdge(doc, Zero(4, 6)), 4u) << "no crossing within the distance: the edge stays";
    EXPECT_EQ(SnapEdge(doc, Zero(9, 0)), 7u) << "the search starts inside the sound";
    EXPECT_EQ(SnapEdge(doc, {SnapMode::None, 0, 8, {0, 1}}), 0u);
}

TEST_F(SnapTest, LevelSnapTakesTheNearerFrameToTheTargetsLevel) {
    //                               0   1   2   3   4  5   6   7
    COLMDoc& doc = OpenSamples({40, 30, 21, 18, 10, 0, 20, 22});
    // The level of frame 6 is 20, crossed between 21 and 18: 21 lies nearer.
    EXPECT_EQ(SnapEdge(doc, {SnapMode::Level, 0, 6, {0, 1}}), 2u);
    // A crossing needs the next frame strictly past the level: reaching it is not enough.
    EXPECT_EQ(SnapEdge(doc, {SnapMode::Level, 7, 1, {0, 1}}), 7u);
    EXPECT_EQ(SnapEdge(doc, {SnapMode::Level, 3, 7, {0, 1}}), 3u);
    EXPECT_EQ(SnapEdge(doc, {SnapMode::Level, 0, 4, {0, 1}}), 0u);
}

TEST_F(SnapTest, BothChannelsCountTheFirstCrossingOfEither) {
    COLMDoc& doc = OpenSamples({-1, 5, -1, 5, -1, 5, -1, -5, 3, -5}, 2);
    EXPECT_EQ(SnapEdge(doc, Zero(0, 4, {0, 2})), 3u) << "the right channel crosses first";
    EXPECT_EQ(SnapEdge(doc, Zero(0, 4, {0, 1})), 4u);
}

TEST_F(SnapTest, LevelSnapOverBothChannelsTakesTheFirstFrameEitherPrefers) {
    // Frame 4 gives the levels: 10 on the left, -10 on the right. The left crosses between
    // frames 1 and 2 (preferring 2, nearer its level), the right between 1 and 2 too
    // (preferring 1); either preferring the first frame reached wins.
    COLMDoc& doc = OpenSamples({0, 0, 4, -9, 12, -30, 13, -20, 10, -10}, 2);
    EXPECT_EQ(SnapEdge(doc, {SnapMode::Level, 0, 4, {0, 1}}), 2u);
    EXPECT_EQ(SnapEdge(doc, {SnapMode::Level, 0, 4, {1, 2}}), 1u);
    EXPECT_EQ(SnapEdge(doc, {SnapMode::Level, 0, 4, {0, 2}}), 1u);
}

TEST_F(SnapTest, AGivenUpSearchLeavesTheEdge) {
    std::vector<std::int32_t> samples(100'000, 0);
    samples.back() = 100;
    COLMDoc& doc = OpenSamples(samples);
    EXPECT_EQ(SnapEdge(doc, Zero(0, 100'000)), 99'999u);
    SnapRequest hurried = Zero(0, 100'000);
    hurried.limit = std::chrono::milliseconds(0);
    EXPECT_EQ(SnapEdge(doc, hurried), 0u);
}

TEST_F(SnapTest, PointClickSearchesTowardTheOldSelectionThenAway) {
    //                               0   1   2   3   4   5  6  7  8  9
    COLMDoc& doc = OpenSamples({1, 1, 1, -1, -1, 1, 1, 1, 1, 1});
    // Old selection 8 … 9: the click at 1 searches toward 8 and finds the crossing ending at 3.
    EXPECT_EQ(SnapPointClick(doc, SnapMode::ZeroCross, 1, 8, 9, {0, 1}), 3u);
    // Toward 0 there is nothing, so the search turns to the end of the sound.
    EXPECT_EQ(SnapPointClick(doc, SnapMode::ZeroCross, 2, 0, 0, {0, 1}), 3u);
    EXPECT_EQ(SnapPointClick(doc, SnapMode::Level, 1, 8, 9, {0, 1}), 1u) << "only Zero Cross snaps points";
    const SnappedDrag drag = SnapDrag(doc, SnapMode::ZeroCross, 1, 9, false, {0, 1});
    EXPECT_EQ(drag.moving, 5u);
    EXPECT_EQ(drag.anchor, 3u);
    EXPECT_EQ(SnapDrag(doc, SnapMode::ZeroCross, 1, 9, true, {0, 1}).anchor, 1u) << "Shift keeps the anchor";
}

class GestureTest : public ImageTestBed {
protected:
    COLMDoc& OpenStereo() { return app.Open(WriteWav("g.wav", 2, 16, Varied(10'000, 2, 16))); }
};

TEST_F(GestureTest, StripsChooseChannelsAndShiftExtends) {
    COLMDoc& doc = OpenStereo();
    auto press = SelectionGesture::Press(doc, 100, 1, false, Transport::Idle);
    ASSERT_TRUE(press);
    press->Release(doc, 100, 1, SnapMode::None);
    EXPECT_EQ(doc.Info().channelFirst, 1);
    EXPECT_EQ(doc.Info().channelEnd, 2) << "the lower strip selects the right channel only";

    auto drag = SelectionGesture::Press(doc, 500, 0, false, Transport::Idle);
    drag->Drag(doc, 300, 1);
    drag->Release(doc, 200, 1, SnapMode::None);
    EXPECT_EQ(doc.selectionStart, 200u);
    EXPECT_EQ(doc.selectionEnd, 500u);
    EXPECT_EQ(doc.Info().channelEnd - doc.Info().channelFirst, 2) << "upper into lower selects both";
    EXPECT_EQ(doc.view.currentPosition, 200u);

    // Shift: a click inside moves the nearer end; one after the selection moves its end.
    SelectionGesture::Press(doc, 450, 0, true, Transport::Idle)->Release(doc, 450, 0, SnapMode::None);
    EXPECT_EQ(doc.selectionStart, 200u);
    EXPECT_EQ(doc.selectionEnd, 450u);
    SelectionGesture::Press(doc, 210, 0, true, Transport::Idle)->Release(doc, 210, 0, SnapMode::None);
    EXPECT_EQ(doc.selectionStart, 210u);
    EXPECT_EQ(doc.selectionEnd, 450u);
    EXPECT_EQ(doc.Info().channelEnd - doc.Info().channelFirst, 1) << "first channel and the clicked one";

    EXPECT_FALSE(SelectionGesture::Press(doc, 10, 0, false, Transport::Playing));
}

TEST_F(GestureTest, SelectionLocks) {
    COLMDoc& doc = OpenStereo();
    doc.selectionStart = 100;
    doc.selectionEnd = 400;
    doc.selectionLock = 1;
    EXPECT_FALSE(SelectionGesture::Press(doc, 10, 0, false, Transport::Idle));
    doc.selectionLock = 2;
    auto g = SelectionGesture::Press(doc, 9'900, 1, false, Transport::Idle);
    ASSERT_TRUE(g);
    EXPECT_EQ(doc.selectionEnd, 10'000u) << "the length is kept and the selection ends at the last frame";
    EXPECT_EQ(doc.selectionStart, 9'700u);
    g->Drag(doc, 1000, 0);
    g->Release(doc, 1000, 0, SnapMode::ZeroCross);
    EXPECT_EQ(doc.selectionStart, 1000u);
    EXPECT_EQ(doc.selectionEnd, 1300u);
}

TEST_F(GestureTest, LoopMarkers) {
    COLMDoc& doc = OpenStereo();
    auto g = LoopMarkerGesture::Press(doc, LoopMarker::Start, 2000, 0, 0, Transport::Idle);
    ASSERT_TRUE(g);
    EXPECT_EQ(doc.Info().loopStart, 2000u);
    EXPECT_EQ(doc.Info().loopEnd, 2000u) << "without a loop both points go to the click";
    LoopMarkerGesture::Press(doc, LoopMarker::End, 5000, 0, 0, Transport::Idle);
    EXPECT_EQ(doc.Info().loopEnd, 5000u);

    // A click just after the start grabs it without moving it; dragging never passes the end.
    auto grab = LoopMarkerGesture::Press(doc, LoopMarker::Start, 2003, 103, 100, Transport::Idle);
    EXPECT_EQ(doc.Info().loopStart, 2000u);
    grab->Drag(doc, 6000);
    EXPECT_EQ(doc.Info().loopStart, 5000u);
    LoopMarkerGesture::Press(doc, LoopMarker::Start, 1000, 0, 50, Transport::Idle);
    EXPECT_EQ(doc.Info().loopStart, 1000u);

    doc.loopLock = 2;
    LoopMarkerGesture::Press(doc, LoopMarker::Start, 9000, 0, 50, Transport::Idle);
    EXPECT_EQ(doc.Info().loopStart, 6000u);
    EXPECT_EQ(doc.Info().loopEnd, 10'000u) << "the whole loop moves, held at the frame count";
    LoopMarkerGesture::Press(doc, LoopMarker::End, 1000, 0, 50, Transport::Idle);
    EXPECT_EQ(doc.Info().loopStart, 0u);
    EXPECT_EQ(doc.Info().loopEnd, 4000u);
    doc.loopLock = 1;
    EXPECT_FALSE(LoopMarkerGesture::Press(doc, LoopMarker::End, 100, 0, 50, Transport::Idle));
}

}  // namespace
}  // namespace pelmora::test
