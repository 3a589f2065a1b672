#include <gtest/gtest.h>

#include "sound/AiffMarkers.h"
#include "sound/SoundMarkers.h"

using namespace pelmora;

namespace {

// Frames 100 .. 200 removed from a sound that had 1100 frames.
std::uint32_t Cut100To200(std::uint32_t p) { return p >= 200 ? p - 100 : p > 100 ? 100 : p; }

SoundInfo WithFrames(std::uint32_t frames) {
    SoundInfo info;
    info.frames = frames;
    return info;
}

}  // namespace

TEST(MoveMarkers, LoopRecordsMoveByTheFrameAfterThem) {
    struct Case {
        std::uint32_t start, end, newStart, newEnd;
        const char* what;
    };
    const Case cases[] = {
        {300, 399, 200, 299, "after the cut: moves down"},
        {150, 399, 100, 299, "starts inside: from the cut's start"},
        {50, 149, 50, 99, "ends inside: the frames before the cut stay"},
        {120, 180, 100, 100, "wholly inside: empty, start = end, kept"},
        {900, 1099, 800, 999, "at the end of the sound"},
        {10, 0xFFFFFFF0, 10, 999, "an end past the sound: the last frame"},
        {0, 0xFFFFFFFF, 0, 0xFFFFFFFF, "empty loop at 0 as stored, that nothing moves: untouched"},
        {300, 299, 200, 200, "empty loop as stored, moved: start = end"},
        {20, 10, 20, 10, "odd record that nothing moves: untouched"},
    };
    SoundInfo info = WithFrames(1000);
    for (const Case& c : cases) info.wavSmplLoops.push_back({7, 1, c.start, c.end, 9, 0});
    MoveMarkers(info, Cut100To200);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(info.wavSmplLoops[i], (WavLoopRecord{7, 1, cases[i].newStart, cases[i].newEnd, 9, 0}))
            << cases[i].what;
    }
}

TEST(MoveMarkers, CuePointsAndMarkersStayWithinTheSound) {
    SoundInfo info = WithFrames(1000);
    info.wavCuePoints = {
        {1, 0, 0, 0, 0, 500},      // organ style: the frame in the sample offset, position stays 0
        {2, 500, 0, 0, 0, 0},      // the frame in the position, offset stays 0
        {3, 150, 0, 0, 0, 150},    // inside the cut: to its start
        {4, 1100, 0, 0, 0, 1100},  // one past the new end: the last frame
        {5, 0, 0, 0, 0, 0},        // frame 0 in both
    };
    info.aiffMarkBody = BuildMarkBody({{1, 1100, "end"}, {2, 250, "odd"}, {3, 150, "in"}});
    const std::vector<std::uint8_t> before = info.aiffMarkBody;
    MoveMarkers(info, Cut100To200);
    const std::vector<WavCuePoint> expected = {
        {1, 0, 0, 0, 0, 400}, {2, 400, 0, 0, 0, 0}, {3, 100, 0, 0, 0, 100}, {4, 999, 0, 0, 0, 999}, {5, 0, 0, 0, 0, 0}};
    EXPECT_EQ(info.wavCuePoints, expected);
    // AIFF markers lie between frames: the end itself is a place for them.
    EXPECT_EQ(ParseMarkBody(info.aiffMarkBody),
              (std::vector<AiffMarker>{{1, 1000, "end"}, {2, 150, "odd"}, {3, 100, "in"}}));
    EXPECT_EQ(info.aiffMarkBody.size(), before.size());

    // An insertion at frame 0 moves everything but the position that holds nothing.
    info.frames = 2000;
    MoveMarkers(info, [](std::uint32_t p) { return p + 1000; });
    EXPECT_EQ(info.wavCuePoints[0], (WavCuePoint{1, 0, 0, 0, 0, 1400}));
    EXPECT_EQ(info.wavCuePoints[1], (WavCuePoint{2, 1400, 0, 0, 0, 0}));
    EXPECT_EQ(info.wavCuePoints[4], (WavCuePoint{5, 1000, 0, 0, 0, 1000}));
}

TEST(MoveMarkers, ScalingAndUndoRecords) {
    SoundInfo info = WithFrames(22050);
    info.wavSmplLoops = {{0, 0, 1001, 3000, 0, 0}};  // frames 1001 .. 3000, as the loop 1001 .. 3001
    info.wavCuePoints = {{1, 0, 0, 0, 0, 44099}};
    info.aiffMarkBody = BuildMarkBody({{1, 3001, "end loop"}});
    const MarkerPositions before = TakeMarkerPositions(info);
    ScaleMarkers(info, 0.5);
    EXPECT_EQ(std::pair(info.wavSmplLoops[0].start, info.wavSmplLoops[0].end), std::pair(500u, 1499u));
    EXPECT_EQ(info.wavCuePoints[0].sampleOffset, 22049u);
    EXPECT_EQ(ParseMarkBody(info.aiffMarkBody)[0].position, 1500u);
    EXPECT_EQ(ScalePosition(3001, 44100.0 / 48000.0), 2757u);

    RestoreMarkerPositions(info, before);
    EXPECT_EQ(TakeMarkerPositions(info), before);
    // A record that lost a loop meanwhile restores what is still there.
    info.wavSmplLoops.clear();
    ScaleMarkers(info, 0.5);
    RestoreMarkerPositions(info, before);
    EXPECT_EQ(info.wavCuePoints[0].sampleOffset, 44099u);
}
