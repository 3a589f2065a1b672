#pragma once
// One target on one host adapter (unit 0), and the SCSI commands the sampler link sends it.
// Each operation takes a command to use, or builds, runs and discards its own.

#include <cstdint>

#include "sampler/AlignedBuffer.h"
#include "sampler/CAspi.h"
#include "sampler/CAspiCommand.h"
#include "sampler/ScsiStatus.h"

namespace pelmora {

class CAspiDevice {
public:
    CAspiDevice(const CAspiBus& bus, std::uint8_t target);
    virtual ~CAspiDevice() = default;

    std::uint8_t Adapter() const { return adapter_; }
    std::uint8_t Target() const { return target_; }
    std::uint8_t Lun() const { return lun_; }
    std::uint32_t MaxTransfer() const { return maxTransfer_; }
    std::uint32_t BufferAlignment() const { return alignment_; }
    const AspiEntryPoints& Entry() const { return *entry_; }

    virtual ScsiStatus TestUnitReady(CAspiCommand* command = nullptr);
    // INQUIRY with allocation `length` into `buffer` (which holds at least that many bytes).
    virtual ScsiStatus Inquiry(std::uint8_t length, AlignedBuffer& buffer, CAspiCommand* command = nullptr);

private:
    const AspiEntryPoints* entry_;
    std::uint8_t adapter_;
    std::uint8_t target_;
    std::uint8_t lun_ = 0;
    std::uint32_t maxTransfer_;
    std::uint32_t alignment_;
};

}  // namespace pelmora
