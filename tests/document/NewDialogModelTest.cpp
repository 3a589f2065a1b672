#include <gtest/gtest.h>

#include <set>
#include <string>

#include "document/NewDialogModel.h"

using namespace pelmora;

namespace {

constexpr std::uint64_t kPlenty = std::uint64_t{1} << 40;

// A waveform model at 44100 Hz, 16-bit stereo, ten seconds.
NewDialogModel SineModel() {
    NewDialogModel m;
    m.SetData(InitialData::Sine);
    m.SetFrequency(1000);
    return m;
}

}  // namespace

TEST(NewDialogModel, DefaultsAndProfileKeys) {
    NewDialogModel m;
    EXPECT_EQ(m.Settings(), NewDialogSettings{});
    EXPECT_EQ(m.DataSize(), 441000 * 4);
    EXPECT_FALSE(m.AmplitudeEnabled());
    EXPECT_FALSE(m.FrequencyEnabled());

    std::set<std::string> names;
    for (const auto& key : kNewDialogKeys) names.insert(key.name);
    EXPECT_EQ(names, (std::set<std::string>{"file type", "channels", "samplesize", "samplerate",
                                            "otherrate", "initdata", "amplitude", "othersize",
                                            "freq", "length", "samples"}));

    // Values round-trip through the settings; broken choices fall back to the defaults.
    NewDialogSettings s{1, 0, 3, 4, 12345, 5, 4, 777, 440, 1, 9999};
    EXPECT_EQ(NewDialogModel(s).Settings(), s);
    EXPECT_EQ(NewDialogModel(s).AmplitudeValue(), 777);
    const NewDialogSettings fixed = NewDialogModel({0, 1, 9, -1, 11025, 6, 5, 0, 0, 2, 0}).Settings();
    EXPECT_EQ(fixed, (NewDialogSettings{0, 1, 1, 1, 11025, 0, 0, 0, 0, 0, 0}));
}

TEST(NewDialogModel, AmplitudePresetsPerWidth) {
    struct Row {
        int bits;
        std::int64_t full, underFull, threeQuarters, half;
    };
    for (const Row& r : {Row{8, 127, 120, 96, 64}, Row{16, 32767, 32752, 24576, 16384},
                         Row{24, 8388607, 8388584, 6291456, 4194304},
                         Row{32, 2147483647, 2147483614, 1610612736, 1073741824},
                         Row{12, 32767, 32752, 24576, 16384}}) {
        SCOPED_TRACE(r.bits);
        EXPECT_EQ(AmplitudePreset(AmplitudeChoice::Full, r.bits), r.full);
        EXPECT_EQ(AmplitudePreset(AmplitudeChoice::JustUnderFull, r.bits), r.underFull);
        EXPECT_EQ(AmplitudePreset(AmplitudeChoice::ThreeQuarters, r.bits), r.threeQuarters);
        EXPECT_EQ(AmplitudePreset(AmplitudeChoice::Half, r.bits), r.half);
        // "Others" outside 0 … H − 1 becomes H − 1.
        EXPECT_EQ(AmplitudePreset(AmplitudeChoice::Others, r.bits, 5), 5);
        EXPECT_EQ(AmplitudePreset(AmplitudeChoice::Others, r.bits, r.full + 1), r.full);
        EXPECT_EQ(AmplitudePreset(AmplitudeChoice::Others, r.bits, -1), r.full);
    }
}

TEST(NewDialogModel, TypedBitsRatesAndLength) {
    NewDialogModel m;
    m.SetRate(48000);
    EXPECT_EQ(m.SampleRate(), SampleRateChoice::Hz48000);
    m.SetRate(12000);
    EXPECT_EQ(m.SampleRate(), SampleRateChoice::Others);
    EXPECT_EQ(m.Rate(), 12000);
    m.SetBits(24);
    EXPECT_EQ(m.SampleSize(), SampleSizeChoice::Bits24);
    m.SetBits(12);
    EXPECT_EQ(m.Bits(), 12);
    EXPECT_EQ(m.BlockAlign(), 4);  // two bytes a sample
    EXPECT_EQ(m.Settings().sampleSize, 2);  // the radio choice is what the profile keeps
    m.SetSampleSize(SampleSizeChoice::Bits8);
    EXPECT_EQ(m.Bits(), 8);

    m.SetRate(44100);
    m.SetTime(1, 30, 500);  // 90.5 s
    EXPECT_EQ(m.Frames(), 3991050);
    const LengthInTime t = m.Time();
    EXPECT_EQ(t.minutes, 1);
    EXPECT_EQ(t.seconds, 30);
    EXPECT_EQ(t.milliseconds, 500);
    m.SetTime(0, 0, 1);
    EXPECT_EQ(m.Frames(), 45);  // rounded up
    m.SetFrames(44100 * 7200);
    EXPECT_EQ(m.Time().minutes, 120);  // hours count as minutes in the field
}

TEST(NewDialogModel, RateAndSizeChecksComeFirst) {
    NewDialogModel m;
    m.SetRate(3999);
    m.SetBits(0);
    m.SetFrames(-5);
    NewValidation v = m.Validate(0);
    EXPECT_EQ(v.verdict, NewVerdict::Rejected);
    EXPECT_EQ(v.message, "Sample rate must be in the range of 4000 to 200000.");
    EXPECT_EQ(v.field, NewDialogField::SampleRate);
    m.SetRate(200001);
    EXPECT_EQ(m.Validate(0).field, NewDialogField::SampleRate);

    m.SetRate(4000);
    v = m.Validate(0);
    EXPECT_EQ(v.message, "Sample size must be in the range of 1 to 32.");
    m.SetBits(33);
    EXPECT_EQ(m.Validate(0).field, NewDialogField::SampleSize);

    m.SetBits(32);
    m.SetStereo(true);
    v = m.Validate(kPlenty);
    EXPECT_EQ(v.message, "Samples must be in the range of 0 to 264241152.");

    m.SetRate(200000);
    m.SetBits(1);
    m.SetFrames(100);
    EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::Accepted);
}

TEST(NewDialogModel, DiskSpaceShortageShortensTheLength) {
    NewDialogModel m;  // 441000 stereo 16-bit frames: 1764000 bytes
    const std::uint64_t need = 1764000 + 1024;
    EXPECT_EQ(m.Validate(need).verdict, NewVerdict::Accepted);

    NewValidation v = m.Validate(need - 1);
    EXPECT_EQ(v.verdict, NewVerdict::CorrectedStayOpen);
    EXPECT_EQ(v.message, "Empty disk space");
    EXPECT_EQ(m.Frames(), (need - 1 - 1024) / 4);
    EXPECT_EQ(m.Validate(need - 1).verdict, NewVerdict::Accepted);  // the new length fits

    // Less than the reserve left: the proposal is 0 frames, not a wrapped number.
    m.SetFrames(441000);
    v = m.Validate(500);
    EXPECT_EQ(v.verdict, NewVerdict::CorrectedStayOpen);
    EXPECT_EQ(m.Frames(), 0);

    // The shortage comes before the two-hour cut and is itself capped at two hours.
    m.SetFrames(std::int64_t{44100} * 10800);  // three hours
    v = m.Validate(1500000000);
    EXPECT_EQ(v.message, "Empty disk space");
    EXPECT_EQ(m.Frames(), std::int64_t{44100} * 7200);
}

TEST(NewDialogModel, LengthAboveTwoHoursIsCutExactly) {
    for (std::int64_t rate : {44100, 48000, 4001, 200000}) {
        SCOPED_TRACE(rate);
        NewDialogModel m;
        m.SetRate(rate);
        m.SetStereo(false);
        m.SetBits(8);
        m.SetFrames(rate * 7200);
        EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::Accepted);
        m.SetFrames(rate * 7200 + 1);
        const NewValidation v = m.Validate(kPlenty);
        EXPECT_EQ(v.verdict, NewVerdict::CorrectedStayOpen);
        EXPECT_TRUE(v.message.empty());
        EXPECT_EQ(m.Frames(), rate * 7200);
    }
    // A length too large to multiply out is capped, then cut.
    NewDialogModel m;
    m.SetFrames(std::int64_t{1} << 62);
    EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::CorrectedStayOpen);
    EXPECT_EQ(m.Frames(), std::int64_t{44100} * 7200);
    m.SetLengthMode(LengthMode::InTime);
    m.SetTime(500, 0, 0);
    EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::CorrectedStayOpen);
    EXPECT_EQ(m.Frames(), std::int64_t{44100} * 7200);
}

TEST(NewDialogModel, DataSizeLimit) {
    NewDialogModel m;
    m.SetRate(200000);
    m.SetBits(32);
    m.SetFrames(0x7E000000 / 8);
    EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::Accepted);
    m.SetFrames(0x7E000000 / 8 + 1);
    NewValidation v = m.Validate(kPlenty);
    EXPECT_EQ(v.verdict, NewVerdict::Rejected);
    EXPECT_EQ(v.message, "Samples must be in the range of 0 to 264241152.");
    // Two hours of this format pass the time check but not the size check.
    m.SetFrames(std::int64_t{200000} * 7200);
    EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::Rejected);
    m.SetBits(24);
    m.SetFrames(0x7E000000 / 6 + 1);
    EXPECT_EQ(m.Validate(kPlenty).message, "Samples must be in the range of 0 to 352321536.");
}

TEST(NewDialogModel, AmplitudeAndFrequencyChecks) {
    NewDialogModel m = SineModel();
    EXPECT_TRUE(m.AmplitudeEnabled());
    EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::Accepted);

    // The typed value is checked before it is limited, so its message can appear.
    m.SetAmplitude(AmplitudeChoice::Others);
    m.SetOtherAmplitude(32768);
    NewValidation v = m.Validate(kPlenty);
    EXPECT_EQ(v.message, "Amplitude must be in the range of 0 to 32767.");
    EXPECT_EQ(v.field, NewDialogField::Amplitude);
    m.SetOtherAmplitude(-1);
    EXPECT_EQ(m.Validate(kPlenty).field, NewDialogField::Amplitude);
    m.SetFrequency(0);  // amplitude is checked before frequency
    EXPECT_EQ(m.Validate(kPlenty).field, NewDialogField::Amplitude);
    m.SetOtherAmplitude(32767);
    EXPECT_EQ(m.Validate(kPlenty).message, "Frequency must be in the range of 1 to 22050.");

    m.SetFrequency(22050);
    EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::Accepted);
    m.SetFrequency(22051);
    EXPECT_EQ(m.Validate(kPlenty).field, NewDialogField::Frequency);

    // Half an odd rate is a real number: 4001 Hz allows 2000 Hz, not 2001.
    m.SetRate(4001);
    m.SetFrequency(2000);
    EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::Accepted);
    m.SetFrequency(2001);
    EXPECT_EQ(m.Validate(kPlenty).message, "Frequency must be in the range of 1 to 2000.");

    // A typed width narrower than its container: the check uses the width itself.
    m.SetRate(44100);
    m.SetFrequency(440);
    m.SetBits(12);
    m.SetAmplitude(AmplitudeChoice::Full);
    EXPECT_EQ(m.Validate(kPlenty).message, "Amplitude must be in the range of 0 to 2047.");
    m.SetBits(32);
    m.SetOtherAmplitude(2147483647);
    m.SetAmplitude(AmplitudeChoice::Others);
    EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::Accepted);

    // Silence and Disk Garbage take neither value.
    m.SetOtherAmplitude(99999999999);
    m.SetFrequency(0);
    m.SetData(InitialData::DiskGarbage);
    EXPECT_EQ(m.Validate(kPlenty).verdict, NewVerdict::Accepted);
}

TEST(NewDialogModel, SpecCarriesTheChoices) {
    NewDialogModel m = SineModel();
    m.SetFileType(FileType::Aiff);
    m.SetRate(48000);
    m.SetAmplitude(AmplitudeChoice::Half);
    m.SetFrames(4800);
    ASSERT_EQ(m.Validate(kPlenty).verdict, NewVerdict::Accepted);
    const NewSoundRequest s = m.Request();
    EXPECT_EQ(s.fileType, FileType::Aiff);
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.bits, 16);
    EXPECT_EQ(s.rate, 48000u);
    EXPECT_EQ(s.data, InitialData::Sine);
    EXPECT_EQ(s.amplitude, 16384u);
    EXPECT_EQ(s.frequency, 1000u);
    EXPECT_EQ(s.frames, 4800u);
}

TEST(NewDialogModel, FreeSpaceInMegabytesThenGigabytes) {
    struct Case {
        std::uint64_t bytes;
        const char* shown;
    };
    for (const Case c : {Case{0, "0.0 MB"}, Case{(1u << 20) - 1, "0.9 MB"}, Case{1u << 20, "1.0 MB"},
                         Case{1023ull << 20, "1023.0 MB"}, Case{(1ull << 30) - 1, "1023.9 MB"},
                         Case{1ull << 30, "1.0 GB"}, Case{(5ull << 30) + (3ull << 29), "6.5 GB"},
                         Case{2000ull << 30, "2000.0 GB"}})
        EXPECT_EQ(NewDialogModel::FormatFreeSpace(c.bytes), c.shown) << c.bytes;
}
