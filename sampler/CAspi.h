#pragma once
// The ASPI manager as a whole (its support info and adapter count) and one host adapter as its
// inquiry describes it.

#include <array>
#include <cstdint>
#include <string>

#include "sampler/AspiManager.h"

namespace pelmora {

class CAspi {
public:
    explicit CAspi(const AspiEntryPoints& entry);
    // Bits 15..8 the ASPI status, bits 7..0 the adapter count; 0 without a manager.
    std::uint32_t SupportInfo() const { return supportInfo_; }
    // The adapter count when the status is SS_COMP, else 0.
    std::uint8_t HostAdapterCount() const;

private:
    std::uint32_t supportInfo_ = 0;
};

class CAspiBus {
public:
    CAspiBus(const AspiEntryPoints& entry, std::uint8_t adapter);

    std::uint8_t Adapter() const { return adapter_; }
    // 0xFF when the inquiry did not complete.
    std::uint8_t ScsiId() const { return scsiId_; }
    // What SendASPI32Command returned for the inquiry; the scan skips anything but SS_COMP.
    std::uint32_t InquiryResult() const { return inquiryResult_; }
    bool Usable() const;
    const std::string& ManagerId() const { return managerId_; }
    const std::string& Identifier() const { return identifier_; }
    std::uint32_t BufferAlignment() const { return alignment_; }
    bool ResidualSupported() const { return residual_; }
    // Targets 0 … MaxTargets() − 1; 8 when the adapter does not say.
    std::uint32_t MaxTargets() const { return maxTargets_; }
    std::uint32_t MaxTransfer() const { return maxTransfer_; }
    const std::array<std::uint8_t, 16>& Unique() const { return unique_; }
    const AspiEntryPoints& Entry() const { return entry_; }

private:
    const AspiEntryPoints& entry_;
    std::uint8_t adapter_ = 0;
    std::uint8_t scsiId_ = 0xFF;
    std::uint32_t inquiryResult_ = 0;
    std::string managerId_;
    std::string identifier_;
    std::uint32_t alignment_ = 1;
    bool residual_ = false;
    std::uint32_t maxTargets_ = 8;
    std::uint32_t maxTransfer_ = 0;
    std::array<std::uint8_t, 16> unique_{};
};

}  // namespace pelmora
