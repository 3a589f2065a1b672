#include "sampler/SampleHeader.h"

#include <algorithm>
#include <cstring>

#include "sampler/SmdiMessage.h"

namespace pelmora::smdi {

namespace {

constexpr std::uint32_t kTwoSeconds = 2000000000;  // in nanoseconds
constexpr std::uint32_t kMaxPeriod = 0xFFFFFF;
constexpr std::uint8_t kLoopOn = 0, kLoopOff = 127;
constexpr std::uint32_t kRoundUpFraction = 0x8000;
constexpr std::size_t kFixedPayload = 26;  // the payload before the name

}  // namespace

std::optional<std::uint32_t> PeriodForRate(std::uint32_t rate) {
    const std::uint32_t tenths = (rate / 5) * 10;
    if (tenths == 0) return std::nullopt;
    const std::uint32_t period = kTwoSeconds / tenths;
    if (period == 0 || period > kMaxPeriod) return std::nullopt;
    return period;
}

std::uint32_t RateForPeriod(std::uint32_t period) {
    if (period == 0) return 0;
    return ((kTwoSeconds / period + 5) / 10) * 5;
}

SampleHeaderRecord ParseSampleHeader(const std::uint8_t* data, std::size_t size, DeviceFamily family) {
    const auto at = [&](std::size_t offset, int bytes) { return BigEndianAt(data, size, offset, bytes); };
    SampleHeaderRecord r;
    r.sampleNumber = at(11, 3);
    r.bits = static_cast<std::uint16_t>(at(14, 1));
    r.channels = static_cast<std::uint16_t>(at(15, 1));
    r.rate = RateForPeriod(at(16, 3));
    r.frames = at(19, 4);
    r.loopStart = at(23, 4);
    r.loopEnd = at(27, 4) + 1;
    r.loopOn = at(31, 1) < kLoopOff;
    r.pitchInteger = static_cast<std::uint16_t>(at(32, 2));
    if (family == DeviceFamily::Sampler && at(34, 2) >= kRoundUpFraction) ++r.pitchInteger;
    r.pitchFraction = 0;
    r.nameLength = static_cast<std::uint16_t>(at(36, 1));
    const std::size_t nameAt = 37;
    const std::size_t available = size > nameAt ? size - nameAt : 0;
    const std::size_t length = std::min<std::size_t>(r.nameLength, available);
    const auto* name = reinterpret_cast<const char*>(data + (length ? nameAt : 0));
    r.name.assign(name, length);
    r.name.resize(std::strlen(r.name.c_str()));
    return r;
}

std::optional<std::vector<std::uint8_t>> BuildSampleHeader(const SoundInfo& sound, const std::string& title,
                                                           std::uint32_t slot, DeviceFamily family) {
    const auto period = PeriodForRate(sound.sampleRate);
    if (!period) return std::nullopt;
    const std::size_t nameLength = std::min(title.size(), kMaxNameSent);
    std::vector<std::uint8_t> message(kHeaderBytes + kFixedPayload + nameLength, 0);
    PutHeader(message.data(), MessageId::SampleHeader, static_cast<std::uint32_t>(kFixedPayload + nameLength));
    std::uint8_t* p = message.data();
    const bool synthesizer = family == DeviceFamily::Synthesizer;
    const std::uint32_t bits = synthesizer && sound.bytesPerSample <= 2 ? sound.bitsPerSample : 16;
    PutBigEndian(p + 11, synthesizer ? slot : 0, 3);
    p[14] = static_cast<std::uint8_t>(bits);
    p[15] = static_cast<std::uint8_t>(sound.channels);
    PutBigEndian(p + 16, *period, 3);
    PutBigEndian(p + 19, sound.frames, 4);
    PutBigEndian(p + 23, sound.loopStart, 4);
    PutBigEndian(p + 27, sound.loopEnd == 0 ? 0 : sound.loopEnd - 1, 4);
    p[31] = sound.loopOn ? kLoopOn : kLoopOff;
    PutBigEndian(p + 32, sound.instrument.unityNote, 2);
    PutBigEndian(p + 34, 0, 2);
    p[36] = static_cast<std::uint8_t>(nameLength);
    if (nameLength) std::memcpy(p + 37, title.data(), nameLength);
    return message;
}

}  // namespace pelmora::smdi
