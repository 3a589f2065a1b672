#include "document/NewDialogModel.h"

#include <algorithm>
#include <climits>

#include "sound/TimeMath.h"

namespace pelmora {

namespace {

constexpr std::int64_t kMinRate = 4000;
constexpr std::int64_t kMaxRate = 200000;
constexpr std::int64_t kMaxSeconds = 7200;  // two hours
constexpr std::uint64_t kDataSizeLimit = 0x7FFFFFFF;
constexpr std::uint64_t kMaxDataSize = 0x7E000000;
constexpr std::uint64_t kDiskReserve = 1024;

constexpr std::array<std::int64_t, 4> kPresetRates{48000, 44100, 32000, 22050};
constexpr std::array<std::int64_t, 4> kPresetBits{8, 16, 24, 32};
// "Just Under Full" per sample width, 1 … 4 bytes.
constexpr std::array<std::int64_t, 4> kJustUnderFull{120, 32752, 8388584, 2147483614};

template <typename Enum>
Enum ChoiceOr(int value, int count, Enum fallback) {
    return value >= 0 && value < count ? static_cast<Enum>(value) : fallback;
}

int ToProfileInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

NewValidation Reject(std::string message, NewDialogField field) {
    return {NewVerdict::Rejected, std::move(message), field};
}

}  // namespace

std::int64_t AmplitudePreset(AmplitudeChoice choice, int bits, std::int64_t others) {
    const int bytes = std::clamp((bits + 7) / 8, 1, 4);
    const std::int64_t half = std::int64_t{1} << (8 * bytes - 1);  // H = 2^(W−1)
    switch (choice) {
    case AmplitudeChoice::Full: return half - 1;
    case AmplitudeChoice::JustUnderFull: return kJustUnderFull[static_cast<std::size_t>(bytes - 1)];
    case AmplitudeChoice::Half: return half / 2;
    case AmplitudeChoice::ThreeQuarters: return static_cast<std::int64_t>(static_cast<double>(half) * 0.75);
    case AmplitudeChoice::Others: return others >= 0 && others <= half - 1 ? others : half - 1;
    }
    return half - 1;
}

NewDialogModel::NewDialogModel(const NewDialogSettings& s)
    : fileType_(s.fileType == 1 ? FileType::Aiff : FileType::Wav),
      stereo_(s.channels != 0),
      sampleSize_(ChoiceOr(s.sampleSize, 4, SampleSizeChoice::Bits16)),
      sampleRate_(ChoiceOr(s.sampleRate, 5, SampleRateChoice::Hz44100)),
      otherRate_(s.otherRate),
      data_(ChoiceOr(s.initData, 6, InitialData::Silence)),
      amplitude_(ChoiceOr(s.amplitude, 5, AmplitudeChoice::Full)),
      otherAmplitude_(s.otherSize),
      frequency_(s.freq),
      lengthMode_(ChoiceOr(s.length, 2, LengthMode::InTime)),
      frames_(s.samples) {}

NewDialogSettings NewDialogModel::Settings() const {
    NewDialogSettings s;
    s.fileType = static_cast<int>(fileType_);
    s.channels = stereo_ ? 1 : 0;
    s.sampleSize = static_cast<int>(sampleSize_);
    s.sampleRate = static_cast<int>(sampleRate_);
    s.otherRate = ToProfileInt(otherRate_);
    s.initData = static_cast<int>(data_);
    s.amplitude = static_cast<int>(amplitude_);
    s.otherSize = ToProfileInt(otherAmplitude_);
    s.freq = ToProfileInt(frequency_);
    s.length = static_cast<int>(lengthMode_);
    s.samples = ToProfileInt(frames_);
    return s;
}

void NewDialogModel::SetSampleSize(SampleSizeChoice choice) {
    sampleSize_ = choice;
    typedBits_.reset();
}

void NewDialogModel::SetBits(std::int64_t bits) {
    const auto listed = std::find(kPresetBits.begin(), kPresetBits.end(), bits);
    if (listed != kPresetBits.end()) {
        SetSampleSize(static_cast<SampleSizeChoice>(listed - kPresetBits.begin()));
    } else {
        typedBits_ = bits;
    }
}

std::int64_t NewDialogModel::Bits() const {
    return typedBits_ ? *typedBits_ : kPresetBits[static_cast<std::size_t>(sampleSize_)];
}

void NewDialogModel::SetRate(std::int64_t rate) {
    const auto listed = std::find(kPresetRates.begin(), kPresetRates.end(), rate);
    if (listed != kPresetRates.end()) {
        sampleRate_ = static_cast<SampleRateChoice>(listed - kPresetRates.begin());
    } else {
        sampleRate_ = SampleRateChoice::Others;
        otherRate_ = rate;
    }
}

std::int64_t NewDialogModel::Rate() const {
    return sampleRate_ == SampleRateChoice::Others ? otherRate_
                                                   : kPresetRates[static_cast<std::size_t>(sampleRate_)];
}

std::int64_t NewDialogModel::AmplitudeValue() const {
    return AmplitudePreset(amplitude_, static_cast<int>(std::clamp<std::int64_t>(Bits(), 1, 32)),
                           otherAmplitude_);
}

LengthInTime NewDialogModel::Time() const {
    const std::int64_t rate = Rate();
    if (rate < 1 || rate > UINT32_MAX || frames_ < 0) return {};
    const auto frames = static_cast<std::uint32_t>(std::min<std::int64_t>(frames_, UINT32_MAX));
    const TimeParts parts = SplitMilliseconds(FramesToMilliseconds(static_cast<std::uint32_t>(rate), frames));
    return {std::int64_t{parts.hours} * 60 + parts.minutes, parts.seconds, parts.milliseconds};
}

void NewDialogModel::SetTime(std::int64_t minutes, std::int64_t seconds, std::int64_t milliseconds) {
    // Past about 10^11 minutes the total would not fit; such a length is cut anyway.
    constexpr std::int64_t kLimit = std::int64_t{1} << 40;
    minutes = std::clamp(minutes, -kLimit, kLimit);
    seconds = std::clamp(seconds, -kLimit, kLimit);
    milliseconds = std::clamp(milliseconds, -kLimit, kLimit);
    const std::int64_t rate = std::clamp<std::int64_t>(Rate(), 1, UINT32_MAX);
    frames_ = MillisecondsToFrames(static_cast<std::uint32_t>(rate),
                                   minutes * 60000 + seconds * 1000 + milliseconds);
}

std::int64_t NewDialogModel::BlockAlign() const {
    return Channels() * std::max<std::int64_t>(0, (Bits() + 7) / 8);
}

std::string NewDialogModel::FormatFreeSpace(std::uint64_t freeBytes) {
    constexpr std::uint64_t kMegabyte = 1ull << 20, kGigabyte = 1ull << 30;
    const bool giga = freeBytes >= kGigabyte;
    const std::uint64_t unit = giga ? kGigabyte : kMegabyte;
    const std::uint64_t tenths = freeBytes / unit * 10 + freeBytes % unit * 10 / unit;
    return FormatText(giga ? StringId::FreeSpaceGigabytes : StringId::FreeSpaceMegabytes,
                      static_cast<double>(tenths) / 10.0);
}

std::int64_t NewDialogModel::DataSize() const {
    const std::int64_t blockAlign = BlockAlign();
    if (blockAlign > 0 && frames_ > INT64_MAX / blockAlign) return INT64_MAX;
    return frames_ * blockAlign;
}

NewValidation NewDialogModel::Validate(std::uint64_t freeBytes) {
    const std::int64_t rate = Rate();
    if (rate < kMinRate || rate > kMaxRate)
        return Reject(Text(StringId::SampleRateRange), NewDialogField::SampleRate);
    const std::int64_t bits = Bits();
    if (bits < 1 || bits > 32)
        return Reject(Text(StringId::SampleSizeRange), NewDialogField::SampleSize);

    const auto blockAlign = static_cast<std::uint64_t>(BlockAlign());
    const auto maxFrames = static_cast<int>(kMaxDataSize / blockAlign);
    if (frames_ < 0)
        return Reject(FormatText(StringId::SamplesRange, maxFrames), NewDialogField::Length);
    const std::uint64_t dataSize =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(DataSize()), kDataSizeLimit);
    const std::uint64_t bytesPerSecond = blockAlign * static_cast<std::uint64_t>(rate);
    const std::uint64_t seconds = (dataSize + bytesPerSecond - 1) / bytesPerSecond;
    const std::uint64_t twoHours = static_cast<std::uint64_t>(rate) * kMaxSeconds;

    if (freeBytes < dataSize + kDiskReserve) {
        const std::uint64_t room = freeBytes < kDiskReserve ? 0 : (freeBytes - kDiskReserve) / blockAlign;
        frames_ = static_cast<std::int64_t>(std::min(room, twoHours));
        return {NewVerdict::CorrectedStayOpen, Text(StringId::EmptyDiskSpace), NewDialogField::Length};
    }
    if (seconds > kMaxSeconds) {
        frames_ = static_cast<std::int64_t>(twoHours);
        return {NewVerdict::CorrectedStayOpen, {}, NewDialogField::Length};
    }
    if (dataSize > kMaxDataSize)
        return Reject(FormatText(StringId::SamplesRange, maxFrames), NewDialogField::Length);

    if (IsWaveform(data_)) {
        // The typed "Others" value is checked as typed, before it is limited.
        const std::int64_t maxAmplitude = (std::int64_t{1} << (bits - 1)) - 1;
        const std::int64_t amplitude = amplitude_ == AmplitudeChoice::Others
                                           ? otherAmplitude_
                                           : AmplitudePreset(amplitude_, static_cast<int>(bits));
        if (amplitude < 0 || amplitude > maxAmplitude)
            return Reject(FormatText(StringId::AmplitudeRange, static_cast<int>(maxAmplitude)),
                          NewDialogField::Amplitude);
        // rate / 2 is a real number: 4001 Hz allows up to 2000 Hz.
        if (frequency_ < 1 || frequency_ > rate || 2 * frequency_ > rate)
            return Reject(FormatText(StringId::FrequencyRange, static_cast<int>(rate / 2)),
                          NewDialogField::Frequency);
    }
    return {};
}

NewSoundRequest NewDialogModel::Request() const {
    NewSoundRequest request;
    request.fileType = fileType_;
    request.channels = static_cast<std::uint16_t>(Channels());
    request.bits = static_cast<std::uint16_t>(std::clamp<std::int64_t>(Bits(), 0, 0xFFFF));
    request.rate = static_cast<std::uint32_t>(std::clamp<std::int64_t>(Rate(), 0, UINT32_MAX));
    request.data = data_;
    request.amplitude = static_cast<std::uint32_t>(AmplitudeValue());
    request.frequency = static_cast<std::uint32_t>(std::clamp<std::int64_t>(frequency_, 0, UINT32_MAX));
    request.frames = static_cast<std::uint32_t>(std::clamp<std::int64_t>(frames_, 0, UINT32_MAX));
    return request;
}

}  // namespace pelmora
