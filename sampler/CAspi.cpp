#include "sampler/CAspi.h"

namespace pelmora {

CAspi::CAspi(const AspiEntryPoints& entry) {
    if (entry.getSupportInfo) supportInfo_ = entry.getSupportInfo();
}

std::uint8_t CAspi::HostAdapterCount() const {
    if (((supportInfo_ >> 8) & 0xFF) != aspi::SS_COMP) return 0;
    return static_cast<std::uint8_t>(supportInfo_ & 0xFF);
}

CAspiBus::CAspiBus(const AspiEntryPoints& entry, std::uint8_t adapter) : entry_(entry), adapter_(adapter) {
    if (!entry.sendCommand) return;
    aspi::SRB_HAInquiry srb{};
    srb.SRB_Cmd = aspi::SC_HA_INQUIRY;
    srb.SRB_HaId = adapter;
    inquiryResult_ = entry.sendCommand(&srb);
    if (!Usable()) return;
    scsiId_ = srb.HA_SCSI_ID;
    managerId_.assign(reinterpret_cast<const char*>(srb.HA_ManagerId), sizeof srb.HA_ManagerId);
    identifier_.assign(reinterpret_cast<const char*>(srb.HA_Identifier), sizeof srb.HA_Identifier);
    for (std::size_t i = 0; i < unique_.size(); ++i) unique_[i] = srb.HA_Unique[i];
    alignment_ = (std::uint32_t{unique_[1]} << 8 | unique_[0]) + 1;
    residual_ = (unique_[2] & 0x02) != 0;
    maxTargets_ = unique_[3] == 0 ? 8 : unique_[3];
    maxTransfer_ = std::uint32_t{unique_[4]} | std::uint32_t{unique_[5]} << 8 | std::uint32_t{unique_[6]} << 16 |
                   std::uint32_t{unique_[7]} << 24;
}

bool CAspiBus::Usable() const { return inquiryResult_ == aspi::SS_COMP; }

}  // namespace pelmora
