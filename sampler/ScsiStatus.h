#pragma once
// The 32-bit result of a SCSI command: who finished it (bits 31..24), then the ASPI status,
// the host adapter status and the target status of its request block.

#include <cstdint>

namespace pelmora {

enum class StatusClass { Ok, Retry, Error, Fatal };

struct ScsiStatus {
    static constexpr std::uint8_t kIssued = 0x81;
    static constexpr std::uint8_t kNoCommand = 0x82;
    static constexpr std::uint8_t kTimedOut = 0x84;
    static constexpr std::uint8_t kNotRun = 0x80;
    // Issued with a completion routine: the outcome comes later.
    static constexpr std::uint32_t kPosted = 0x81000000;
    static constexpr std::uint32_t kNoCommandObject = 0x82010000;
    static constexpr std::uint32_t kTimeout = 0x84010000;
    static constexpr std::uint32_t kInitial = 0x80010000;

    std::uint32_t value = kInitial;

    static ScsiStatus FromRequest(std::uint8_t srbStatus, std::uint8_t haStat, std::uint8_t targStat) {
        return {(std::uint32_t{kIssued} << 24) | (std::uint32_t{srbStatus} << 16) |
                (std::uint32_t{haStat} << 8) | targStat};
    }
    std::uint8_t Marker() const { return static_cast<std::uint8_t>(value >> 24); }
    std::uint8_t SrbStatus() const { return static_cast<std::uint8_t>(value >> 16); }
    std::uint8_t HostStatus() const { return static_cast<std::uint8_t>(value >> 8); }
    std::uint8_t TargetStatus() const { return static_cast<std::uint8_t>(value); }

    // Issued, completed, no host adapter error, and neither check condition nor busy.
    bool IsSuccess() const;
    // How the retry rules treat it.
    StatusClass Class() const;
    bool operator==(const ScsiStatus&) const = default;
};

}  // namespace pelmora
