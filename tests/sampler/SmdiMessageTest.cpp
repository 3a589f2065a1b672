// SMDI as the master reads and writes it: the reject table, the headers recognised only when
// whole, the period/rate rules, and the Sample Header both ways, byte for byte.

#include <gtest/gtest.h>

#include "sampler/SampleHeader.h"
#include "sampler/SmdiMessage.h"
#include "support/EmulatorSupport.h"

using namespace pelmora;
using namespace pelmora::smdi;
using pelmora::test::Be;
using pelmora::test::Bytes;
using pelmora::test::Smdi;
using pelmora::test::operator+;

namespace {

Bytes Reject(std::uint16_t code, std::uint16_t sub) { return Smdi(0x0002, 0, Be(code, 2) + Be(sub, 2)); }

}  // namespace

TEST(SmdiMessage, RejectTable) {
    struct Case {
        std::uint16_t code, sub;
        RejectKind kind;
        const char* text;  // shown, or nullptr
    };
    const Case cases[] = {
        {0x0002, 0x0000, RejectKind::Text, "- message/procedure is not supported."},
        {0x0002, 0x0002, RejectKind::Text, "- message is inappropriate."},
        {0x0005, 0x0000, RejectKind::Text, "Device is busy."},
        {0x0011, 0x0000, RejectKind::Text, "- Packet Number mismatch."},
        {0x0020, 0x0004, RejectKind::Text, "- insufficient sample memory available."},
        {0x0020, 0x0005, RejectKind::Text, "- insufficient param memory available."},
        {0x0020, 0x0006, RejectKind::Text, "- can't accommodate Sample Format-Bits Per Word."},
        {0x0020, 0x0007, RejectKind::Text, "- can't accommodate Sample Format-Number Of Channels."},
        {0x0022, 0x0001, RejectKind::Text,
         "- Sample Number does not match that of previously transferred Sample Header."},
        {0x0022, 0x0002, RejectKind::Text, "- can't accommodate Data Packet Length."},
        {0x0020, 0x0000, RejectKind::Silent, nullptr},   // slot out of range
        {0x0020, 0x0002, RejectKind::Silent, nullptr},   // slot holds no sample
        {0x0005, 0x0001, RejectKind::Silent, nullptr},   // another sub-code of a known code
        {0x0011, 0xFFFF, RejectKind::Silent, nullptr},
        {0x0030, 0x0000, RejectKind::Unknown, nullptr},  // a code outside the table
        {0x0000, 0x0000, RejectKind::Unknown, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + "/" + std::to_string(c.sub));
        const Bytes message = Reject(c.code, c.sub);
        const RejectVerdict verdict = ClassifyRejectMessage(message.data(), message.size());
        EXPECT_EQ(verdict.kind, c.kind);
        if (c.text) {
            ASSERT_TRUE(verdict.text);
            EXPECT_STREQ(Text(*verdict.text), c.text);
        } else {
            EXPECT_FALSE(verdict.text);
        }
        EXPECT_EQ(IsKnownReply(message.data(), message.size()), c.kind != RejectKind::Silent);
    }
}

TEST(SmdiMessage, AnswersAreRecognisedByTheirWholeHeader) {
    struct Case {
        Bytes message;
        bool reject, wait, end, abort;
    };
    const Case cases[] = {
        {Reject(0x0020, 2), true, false, false, false},
        {Smdi(0x0002, 0, Be(0x0020, 2) + Be(2, 2) + Be(0, 1)), false, false, false, false},  // length 5
        {Smdi(0x0002, 1, Be(0x0020, 2) + Be(2, 2)), false, false, false, false},             // sub-id 1
        {Smdi(0x0102, 0), false, true, false, false},
        {Smdi(0x0104, 0), false, false, true, false},
        {Smdi(0x0104, 0, Be(0, 3)), false, false, false, false},  // End of Procedure with a payload
        {Smdi(0x0105, 0), false, false, false, true},
        {Bytes{'S', 'M', 'D', 'X', 1, 4, 0, 0, 0, 0, 0}, false, false, false, false},
        {Bytes{'S', 'M', 'D', 'I', 1, 2}, false, false, false, false},  // cut short
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        EXPECT_EQ(IsReject(c.message.data(), c.message.size()), c.reject);
        EXPECT_EQ(IsWait(c.message.data(), c.message.size()), c.wait);
        EXPECT_EQ(IsEndOfProcedure(c.message.data(), c.message.size()), c.end);
        EXPECT_EQ(IsAbort(c.message.data(), c.message.size()), c.abort);
    }
    // A reject whose length field is not 4 is an ordinary answer.
    const Bytes five = cases[1].message;
    EXPECT_TRUE(IsKnownReply(five.data(), five.size()));
}

TEST(SmdiMessage, PeriodAndRate) {
    struct Case {
        std::uint32_t rate, period, back;
    };
    const Case cases[] = {
        {44100, 22675, 44100}, {48000, 20833, 48000}, {22050, 45351, 22050}, {8000, 125000, 8000},
        {50610, 19758, 50610},  // the highest rate that comes back exactly
        {88200, 11337, 88205},  {96000, 10416, 96005}, {4003, 250000, 4000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        ASSERT_EQ(PeriodForRate(c.rate), c.period);
        EXPECT_EQ(RateForPeriod(c.period), c.back);
    }
    EXPECT_FALSE(PeriodForRate(4));  // no period: (4 ÷ 5) × 10 is 0
    EXPECT_EQ(RateForPeriod(0), 0u);
    // Every rate up to 50610 Hz that is a multiple of 5 survives the round trip.
    for (std::uint32_t rate = 4000; rate <= 50610; rate += 5) ASSERT_EQ(RateForPeriod(*PeriodForRate(rate)), rate) << rate;
}

TEST(SmdiMessage, ReceivedSampleHeader) {
    const auto header = [](std::uint32_t lastLooped, std::uint8_t loopControl, std::uint16_t pitch,
                           std::uint16_t fraction, const Bytes& name, std::uint8_t nameLength) {
        return Smdi(0x0121, 0, Be(7, 3) + Be(16, 1) + Be(2, 1) + Be(22675, 3) + Be(1000, 4) + Be(10, 4) +
                                   Be(lastLooped, 4) + Be(loopControl, 1) + Be(pitch, 2) + Be(fraction, 2) +
                                   Be(nameLength, 1) + name);
    };
    struct Case {
        const char* what;
        Bytes message;
        DeviceFamily family;
        std::uint32_t loopEnd;
        bool loopOn;
        std::uint16_t pitch;
        std::string name;
    };
    const Case cases[] = {
        {"plain", header(899, 0, 60, 0, {'a', 'b'}, 2), DeviceFamily::Sampler, 900, true, 60, "ab"},
        {"loop off", header(899, 127, 60, 0, {'a'}, 1), DeviceFamily::Sampler, 900, false, 60, "a"},
        {"sampler rounds", header(0, 0, 60, 0x8000, {'a'}, 1), DeviceFamily::Sampler, 1, true, 61, "a"},
        {"synthesizer does not", header(0, 0, 60, 0x8000, {'a'}, 1), DeviceFamily::Synthesizer, 1, true, 60, "a"},
        {"below half", header(0, 0, 60, 0x7FFF, {'a'}, 1), DeviceFamily::Sampler, 1, true, 60, "a"},
        {"name stops at a NUL", header(0, 0, 60, 0, {'a', 0, 'b'}, 3), DeviceFamily::Sampler, 1, true, 60, "a"},
        {"name longer than sent", header(0, 0, 60, 0, {'x', 'y'}, 200), DeviceFamily::Sampler, 1, true, 60, "xy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SampleHeaderRecord r = ParseSampleHeader(c.message.data(), c.message.size(), c.family);
        EXPECT_EQ(r.sampleNumber, 7u);
        EXPECT_EQ(r.bits, 16);
        EXPECT_EQ(r.channels, 2);
        EXPECT_EQ(r.rate, 44100u);
        EXPECT_EQ(r.frames, 1000u);
        EXPECT_EQ(r.loopStart, 10u);
        EXPECT_EQ(r.loopEnd, c.loopEnd);
        EXPECT_EQ(r.loopOn, c.loopOn);
        EXPECT_EQ(r.pitchInteger, c.pitch);
        EXPECT_EQ(r.pitchFraction, 0);
        EXPECT_EQ(r.name, c.name);
        EXPECT_EQ(r.TotalBytes(), 4000u);
    }
    // Cut short: what is missing reads as 0, and a period of 0 gives no rate.
    const Bytes shortHeader = Smdi(0x0121, 0, Be(1, 3) + Be(16, 1));
    const SampleHeaderRecord r = ParseSampleHeader(shortHeader.data(), shortHeader.size(), DeviceFamily::Sampler);
    EXPECT_EQ(r.rate, 0u);
    EXPECT_FALSE(r.Transferable());
    EXPECT_TRUE(r.name.empty());
}

TEST(SmdiMessage, SentSampleHeaderFollowsTheTable) {
    SoundInfo s;
    s.channels = 2;
    s.bitsPerSample = 8;
    s.sampleRate = 44100;
    s.frames = 123456;
    s.loopStart = 100;
    s.loopEnd = 2000;
    s.loopOn = true;
    s.instrument.unityNote = 48;
    UpdateDerivedFormat(s);
    const std::string twenty = "abcdefghijklmnopqrst";
    const Bytes expected = Smdi(0x0121, 0, Be(5, 3) + Be(8, 1) + Be(2, 1) + Be(22675, 3) + Be(123456, 4) + Be(100, 4) +
                                               Be(1999, 4) + Be(0, 1) + Be(48, 2) + Be(0, 2) + Be(16, 1) +
                                               Bytes(twenty.begin(), twenty.begin() + 16));
    EXPECT_EQ(*BuildSampleHeader(s, twenty, 5, DeviceFamily::Synthesizer), expected);
    EXPECT_EQ(expected.size(), 16u + 37u);
    EXPECT_EQ(pelmora::test::BeAt(expected, 8, 3), 42u);

    // To a sampler: slot 0 and 16 bits whatever the sound; loop off is 127; loop end 0 stays 0.
    s.loopOn = false;
    s.loopStart = s.loopEnd = 0;
    const Bytes toSampler = *BuildSampleHeader(s, "n", 5, DeviceFamily::Sampler);
    EXPECT_EQ(pelmora::test::BeAt(toSampler, 11, 3), 0u);
    EXPECT_EQ(toSampler[14], 16);
    EXPECT_EQ(pelmora::test::BeAt(toSampler, 27, 4), 0u);
    EXPECT_EQ(toSampler[31], 127);
    // A 24-bit sound goes to a synthesizer as 16 bits too.
    s.bitsPerSample = 24;
    UpdateDerivedFormat(s);
    EXPECT_EQ((*BuildSampleHeader(s, "n", 5, DeviceFamily::Synthesizer))[14], 16);
}
