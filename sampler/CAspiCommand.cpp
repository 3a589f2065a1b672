#include "sampler/CAspiCommand.h"

#include <algorithm>
#include <cstring>

#include "platform/Ticks.h"
#include "sampler/CAspiDevice.h"

namespace pelmora {

CAspiCommand::CAspiCommand(const AspiEntryPoints& entry) : srb_{}, entry_(&entry) { Reset(); }

void CAspiCommand::Reset() {
    srb_ = aspi::SRB_ExecSCSICmd{};
    srb_.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
    srb_.SRB_SenseLen = aspi::SENSE_LEN;
    std::memset(srb_.SenseArea, 0xFF, sizeof srb_.SenseArea);
    timeoutMs_ = kDefaultTimeoutMs;
    completion_ = nullptr;
    reserved_ = 0;
}

void CAspiCommand::SetAddress(const CAspiDevice& device) {
    srb_.SRB_HaId = device.Adapter();
    srb_.SRB_Target = device.Target();
    srb_.SRB_Lun = device.Lun();
}

void CAspiCommand::SetDataIn(std::uint32_t length, std::uint8_t* buffer) {
    srb_.SRB_BufLen = length;
    srb_.SRB_BufPointer = buffer;
    srb_.SRB_Flags = static_cast<std::uint8_t>((srb_.SRB_Flags | aspi::SRB_DIR_IN) & ~aspi::SRB_DIR_OUT);
}

void CAspiCommand::SetDataOut(std::uint32_t length, std::uint8_t* buffer) {
    srb_.SRB_BufLen = length;
    srb_.SRB_BufPointer = buffer;
    srb_.SRB_Flags = static_cast<std::uint8_t>((srb_.SRB_Flags | aspi::SRB_DIR_OUT) & ~aspi::SRB_DIR_IN);
}

void CAspiCommand::SetCdb(std::uint8_t length, const std::uint8_t* bytes) {
    length = std::min<std::uint8_t>(length, sizeof srb_.CDBByte);
    std::memcpy(srb_.CDBByte, bytes, length);
    srb_.SRB_CDBLen = length;
}

void CAspiCommand::SetCompletion(Completion routine) {
    completion_ = routine;
    if (routine) {
        srb_.SRB_PostProc = &CAspiCommand::Trampoline;
        srb_.SRB_Flags |= aspi::SRB_POSTING;
    } else {
        srb_.SRB_PostProc = nullptr;
        srb_.SRB_Flags = static_cast<std::uint8_t>(srb_.SRB_Flags & ~aspi::SRB_POSTING);
    }
}

void CAspiCommand::Trampoline(void* srb) {
    auto* command = reinterpret_cast<CAspiCommand*>(srb);
    if (command->completion_) command->completion_(*command);
}

void CAspiCommand::ResetForRetry() {
    const std::uint8_t adapter = srb_.SRB_HaId, target = srb_.SRB_Target, lun = srb_.SRB_Lun;
    const std::uint8_t cdbLength = srb_.SRB_CDBLen;
    std::uint8_t cdb[sizeof srb_.CDBByte];
    std::memcpy(cdb, srb_.CDBByte, sizeof cdb);
    Reset();
    srb_.SRB_HaId = adapter;
    srb_.SRB_Target = target;
    srb_.SRB_Lun = lun;
    srb_.SRB_CDBLen = cdbLength;
    std::memcpy(srb_.CDBByte, cdb, sizeof cdb);
}

ScsiStatus CAspiCommand::Execute() {
    if (!entry_->sendCommand) return {ScsiStatus::kNoCommandObject};
    srb_.CDBByte[1] = static_cast<std::uint8_t>((srb_.CDBByte[1] & 0x1F) | (srb_.SRB_Lun << 5));
    entry_->sendCommand(&srb_);
    if (completion_) return {ScsiStatus::kPosted};
    const std::uint64_t start = platform::TickCount();
    // The manager may finish the request on another thread: read the status afresh each time.
    const volatile std::uint8_t& status = srb_.SRB_Status;
    while (status == aspi::SS_PENDING) {
        if (platform::TickCount() - start >= timeoutMs_) return {ScsiStatus::kTimeout};
    }
    return ScsiStatus::FromRequest(status, srb_.SRB_HaStat, srb_.SRB_TargStat);
}

}  // namespace pelmora
