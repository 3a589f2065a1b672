#include <gtest/gtest.h>

#include "sound/AiffMarkers.h"
#include "sound/SoundSummary.h"
#include "sound/TimeMath.h"

using namespace pelmora;

TEST(TimeMath, FramesToMilliseconds) {
    EXPECT_EQ(FramesToMilliseconds(44100, 44099), 999u);  // truncated
    EXPECT_EQ(FramesToMilliseconds(0, 5), kTimeOverflow);
    // From 2147483 frames on, the remainder rounds to nearest.
    EXPECT_EQ(FramesToMilliseconds(44100, 2147483), 48696u);  // 48695.759...
    EXPECT_EQ(FramesToMilliseconds(44100, 2147482), 48695u);  // still truncated
    EXPECT_EQ(FramesToMilliseconds(1, 0xFFFFFFFF), kTimeOverflow);
}

TEST(TimeMath, MillisecondsToFrames) {
    EXPECT_EQ(MillisecondsToFrames(44100, 1), 45u);  // 44.1 rounded up
    EXPECT_EQ(MillisecondsToFrames(44100, 1000), 44100u);
    EXPECT_EQ(MillisecondsToFrames(44100, 0), 0u);
    EXPECT_EQ(MillisecondsToFrames(44100, -5), 0u);
    EXPECT_EQ(MillisecondsToFrames(0, 5000), kTimeOverflow);
    EXPECT_EQ(MillisecondsToFrames(200000, 20000000), kTimeOverflow);  // s × rate too large
    EXPECT_EQ(MillisecondsToFrames(48000, 44739999), kTimeOverflow);  // the sum overflows
}

TEST(TimeMath, SplitAndFormat) {
    EXPECT_EQ(SplitMilliseconds(3723004), (TimeParts{1, 2, 3, 4}));
    EXPECT_EQ(SplitMilliseconds(-1), (TimeParts{0, 0, 0, 0}));
    EXPECT_EQ(FormatLength(1000, 3723004), "01:02:03:004");
}

TEST(SoundSummary, EveryKindAndLoopState) {
    EXPECT_EQ(FormatSoundSummary(44100, 16, 2, 44100, 4, true, SummaryKind::Wav),
              "44100Hz / 16bit / Stereo / Loop / WAV\n00:00:01:000 / 44100 sample / 176400 byte");
    EXPECT_EQ(FormatSoundSummary(22050, 8, 1, 11025, 1, false, SummaryKind::Aiff),
              "22050Hz / 8bit / Mono / No Loop / AIFF\n00:00:00:500 / 11025 sample / 11025 byte");
    EXPECT_EQ(FormatSoundSummary(48000, 24, 1, 0, 3, true, SummaryKind::Instrument),
              "48000Hz / 24bit / Mono / Loop\n00:00:00:000 / 0 sample / 0 byte");
    // Counts past 2^31 print as they are.
    EXPECT_EQ(FormatSoundSummary(44100, 8, 2, 3000000000u, 2, false, SummaryKind::Wav),
              "44100Hz / 8bit / Stereo / No Loop / WAV\n18:53:47:211 / 3000000000 sample / "
              "6000000000 byte");
}

TEST(AiffMarkers, BodyRoundTripPadsNamesAndStopsAtATruncatedMarker) {
    std::vector<AiffMarker> markers = {{1, 0, "beg loop"}, {2, 1000, "end"}, {7, 5, ""}};
    auto body = BuildMarkBody(markers);
    // "beg loop": 1 + 8 bytes -> padded to 10; "end": 1 + 3 = 4; "": 1 -> 2.
    EXPECT_EQ(body.size(), 2u + (6 + 10) + (6 + 4) + (6 + 2));
    EXPECT_EQ(ParseMarkBody(body), markers);

    body.resize(body.size() - 3);
    auto cut = ParseMarkBody(body);
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[1], markers[1]);

    std::vector<std::uint8_t> lying = {0x00, 0x05, 0x00, 0x01, 0, 0, 0, 0, 0xFF, 'a'};
    EXPECT_TRUE(ParseMarkBody(lying).empty());  // name length past the body
}
