#pragma once
// The New dialog without its widgets: every choice, the values derived from them, and the
// checks made when "New" is pressed. The GUI dialog and pelmora-cli both drive this model.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/StringId.h"
#include "document/NewSoundFile.h"
#include "sound/FileType.h"

namespace pelmora {

// The "New" profile section, key by key, as stored.
struct NewDialogSettings {
    int fileType = 0;      // "file type": 0 WAVE, 1 AIFF
    int channels = 1;      // "channels": 0 mono, 1 stereo
    int sampleSize = 1;    // "samplesize": 0 8bit, 1 16bit, 2 24bit, 3 32bit
    int sampleRate = 1;    // "samplerate": 0 48000, 1 44100, 2 32000, 3 22050, 4 Others
    int otherRate = 11025; // "otherrate"
    int initData = 0;      // "initdata": InitialData
    int amplitude = 0;     // "amplitude": AmplitudeChoice
    int otherSize = 32767; // "othersize": the "Others" amplitude
    int freq = 220;        // "freq"
    int length = 0;        // "length": 0 In Time, 1 In Sample
    int samples = 441000;  // "samples"
    bool operator==(const NewDialogSettings&) const = default;
};

inline constexpr const char* kNewSection = "New";

struct NewDialogKey {
    const char* name;
    int NewDialogSettings::*field;
};

// Every key of the section with the field that holds it, for loading and saving the profile.
inline constexpr std::array<NewDialogKey, 11> kNewDialogKeys{{
    {"file type", &NewDialogSettings::fileType},
    {"channels", &NewDialogSettings::channels},
    {"samplesize", &NewDialogSettings::sampleSize},
    {"samplerate", &NewDialogSettings::sampleRate},
    {"otherrate", &NewDialogSettings::otherRate},
    {"initdata", &NewDialogSettings::initData},
    {"amplitude", &NewDialogSettings::amplitude},
    {"othersize", &NewDialogSettings::otherSize},
    {"freq", &NewDialogSettings::freq},
    {"length", &NewDialogSettings::length},
    {"samples", &NewDialogSettings::samples},
}};

enum class SampleSizeChoice { Bits8 = 0, Bits16 = 1, Bits24 = 2, Bits32 = 3 };
enum class SampleRateChoice { Hz48000 = 0, Hz44100 = 1, Hz32000 = 2, Hz22050 = 3, Others = 4 };
enum class AmplitudeChoice { Full = 0, JustUnderFull = 1, Half = 2, ThreeQuarters = 3, Others = 4 };
enum class LengthMode { InTime = 0, InSample = 1 };

// The amplitude a preset stands for at a sample width (bits 1 … 32); "Others" gives the typed
// value, or H − 1 when it lies outside 0 … H − 1.
std::int64_t AmplitudePreset(AmplitudeChoice choice, int bits, std::int64_t others = 0);

enum class NewVerdict {
    Accepted,           // create the file
    CorrectedStayOpen,  // a value was corrected; show `message` if any and stay open
    Rejected            // show `message` and stay open with `field` selected
};

enum class NewDialogField { None, SampleRate, SampleSize, Length, Amplitude, Frequency };

struct NewValidation {
    NewVerdict verdict = NewVerdict::Accepted;
    std::string message;  // filled-in text; empty for a silent correction
    NewDialogField field = NewDialogField::None;
};

struct LengthInTime {
    std::int64_t minutes = 0;
    int seconds = 0;
    int milliseconds = 0;
};

class NewDialogModel {
public:
    NewDialogModel() = default;
    // Choices outside their range fall back to the defaults.
    explicit NewDialogModel(const NewDialogSettings& settings);
    NewDialogSettings Settings() const;

    FileType GetFileType() const { return fileType_; }
    void SetFileType(FileType type) { fileType_ = type; }

    int Channels() const { return stereo_ ? 2 : 1; }
    void SetStereo(bool stereo) { stereo_ = stereo; }

    SampleSizeChoice SampleSize() const { return sampleSize_; }
    void SetSampleSize(SampleSizeChoice choice);
    // Any width, as typed on the command line; 8, 16, 24 and 32 select their choice.
    void SetBits(std::int64_t bits);
    std::int64_t Bits() const;

    SampleRateChoice SampleRate() const { return sampleRate_; }
    void SetSampleRate(SampleRateChoice choice) { sampleRate_ = choice; }
    std::int64_t OtherRate() const { return otherRate_; }
    void SetOtherRate(std::int64_t rate) { otherRate_ = rate; }
    // Any rate, as typed: a listed rate selects its choice, another one "Others".
    void SetRate(std::int64_t rate);
    std::int64_t Rate() const;

    InitialData Data() const { return data_; }
    void SetData(InitialData data) { data_ = data; }

    AmplitudeChoice Amplitude() const { return amplitude_; }
    void SetAmplitude(AmplitudeChoice choice) { amplitude_ = choice; }
    std::int64_t OtherAmplitude() const { return otherAmplitude_; }
    void SetOtherAmplitude(std::int64_t value) { otherAmplitude_ = value; }
    // The amplitude the sound is made with (the "Others" value limited to 0 … H − 1).
    std::int64_t AmplitudeValue() const;

    std::int64_t Frequency() const { return frequency_; }
    void SetFrequency(std::int64_t hz) { frequency_ = hz; }

    // The length is kept in frames ("samples"); In Time shows and sets it through the rate.
    LengthMode Length() const { return lengthMode_; }
    void SetLengthMode(LengthMode mode) { lengthMode_ = mode; }
    std::int64_t Frames() const { return frames_; }
    void SetFrames(std::int64_t frames) { frames_ = frames; }
    LengthInTime Time() const;
    void SetTime(std::int64_t minutes, std::int64_t seconds, std::int64_t milliseconds);

    bool AmplitudeEnabled() const { return IsWaveform(data_); }
    bool FrequencyEnabled() const { return IsWaveform(data_); }

    std::int64_t BlockAlign() const;
    // "Data size": frames × block align.
    std::int64_t DataSize() const;

    // "Working volume remain": free bytes in MB, from 1 GB on in GB (binary units, one decimal,
    // rounded down so that the space is never overstated).
    static std::string FormatFreeSpace(std::uint64_t freeBytes);

    // The checks of "New", in order; corrections change this model.
    NewValidation Validate(std::uint64_t freeBytesOfWorkingDrive);

    // What CreateNewSoundFile makes; meaningful once Validate accepted.
    NewSoundRequest Request() const;

private:
    FileType fileType_ = FileType::Wav;
    bool stereo_ = true;
    SampleSizeChoice sampleSize_ = SampleSizeChoice::Bits16;
    std::optional<std::int64_t> typedBits_;  // a width typed rather than chosen
    SampleRateChoice sampleRate_ = SampleRateChoice::Hz44100;
    std::int64_t otherRate_ = 11025;
    InitialData data_ = InitialData::Silence;
    AmplitudeChoice amplitude_ = AmplitudeChoice::Full;
    std::int64_t otherAmplitude_ = 32767;
    std::int64_t frequency_ = 220;
    LengthMode lengthMode_ = LengthMode::InTime;
    std::int64_t frames_ = 441000;
};

}  // namespace pelmora
