#pragma once
// The Sample Header of SMDI both ways: the record a received header is read into (also a slot
// of the import listing), the header the system sends for a sound, and the period/rate rules.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sampler/InstrumentList.h"
#include "sound/SoundInfo.h"

namespace pelmora::smdi {

inline constexpr std::size_t kSampleHeaderReceiveBytes = 512;
inline constexpr std::size_t kMaxNameSent = 16;

struct SampleHeaderRecord {
    std::uint32_t sampleNumber = 0;  // 0-based slot
    std::uint16_t bits = 0;          // bits per word
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;          // Hz; 0 when the instrument gave no period
    std::uint32_t frames = 0;
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;       // one past the last looped frame
    bool loopOn = false;
    std::uint16_t pitchInteger = 0;
    std::uint16_t pitchFraction = 0;
    std::uint16_t nameLength = 0;
    std::string name;                // empty: no sample known in this slot
    std::string targetPath;          // the import's file, chosen before the transfer

    // Bytes per frame of the sample as it travels: whole bytes per word times channels.
    std::uint32_t FrameBytes() const { return ((bits + 7u) / 8u) * channels; }
    // The sample's bytes on the wire, 64-bit so that no header value can overflow it.
    std::uint64_t TotalBytes() const { return std::uint64_t{frames} * FrameBytes(); }
    // Values a transfer can work with: a rate, 1 to 32 bits, one or two channels.
    bool Transferable() const { return rate > 0 && bits >= 1 && bits <= 32 && (channels == 1 || channels == 2); }
};

// 2000000000 ÷ ((rate ÷ 5) × 10); nullopt for a rate below 5 Hz or a period that needs more than
// the field's 3 bytes.
std::optional<std::uint32_t> PeriodForRate(std::uint32_t rate);
// ((2000000000 ÷ period + 5) ÷ 10) × 5; 0 for a period of 0.
std::uint32_t RateForPeriod(std::uint32_t period);

// Reads a received Sample Header (`size` bytes, fields past them are 0). The loop end gains 1,
// a Sampler-family pitch fraction of 0x8000 or more rounds the pitch up, the fraction is kept
// as 0, and the name stops at its length, at the bytes received or at a NUL.
SampleHeaderRecord ParseSampleHeader(const std::uint8_t* data, std::size_t size, DeviceFamily family);

// The Sample Header sent for a sound with the document's title; nullopt when its rate has no
// period.
std::optional<std::vector<std::uint8_t>> BuildSampleHeader(const SoundInfo& sound, const std::string& title,
                                                           std::uint32_t slot, DeviceFamily family);

}  // namespace pelmora::smdi
