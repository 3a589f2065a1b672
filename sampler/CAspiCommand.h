#pragma once
// One SCSI command: an SRB_ExecSCSICmd built as the manager expects it, sent and then waited
// for by polling its status until it completes or its timeout passes.

#include <cstdint>
#include <type_traits>

#include "platform/Aspi.h"
#include "sampler/AspiManager.h"
#include "sampler/ScsiStatus.h"

namespace pelmora {

class CAspiDevice;

class CAspiCommand {
public:
    using Completion = void (*)(CAspiCommand& command);
    static constexpr std::uint32_t kDefaultTimeoutMs = 5000;

    explicit CAspiCommand(const AspiEntryPoints& entry);

    void SetAddress(const CAspiDevice& device);
    void SetDataIn(std::uint32_t length, std::uint8_t* buffer);
    void SetDataOut(std::uint32_t length, std::uint8_t* buffer);
    void SetCdb(std::uint8_t length, const std::uint8_t* bytes);
    // With a routine the command returns at once (ScsiStatus::kPosted) and the routine runs when
    // the manager completes it.
    void SetCompletion(Completion routine);
    void SetTimeout(std::uint32_t milliseconds) { timeoutMs_ = milliseconds; }
    // Built anew, keeping the address, the CDB length and the CDB bytes.
    void ResetForRetry();
    // Puts the unit into CDB byte 1, sends the command and waits for it.
    ScsiStatus Execute();

    const aspi::SRB_ExecSCSICmd& Request() const { return srb_; }

private:
    void Reset();
    static void Trampoline(void* srb);

    // First member: the completion trampoline finds the command from its request block.
    aspi::SRB_ExecSCSICmd srb_;
    const AspiEntryPoints* entry_;
    std::uint32_t timeoutMs_ = kDefaultTimeoutMs;
    Completion completion_ = nullptr;
    std::uint32_t reserved_ = 0;
};

static_assert(std::is_standard_layout_v<CAspiCommand>);

}  // namespace pelmora
