#include "aspi/SgBackend.h"

#include <linux/fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "aspi/Completion.h"

namespace pelmora::aspi {

namespace {

// Host statuses of the Linux midlayer (DID_*).
constexpr std::uint16_t kDidOk = 0x00, kDidNoConnect = 0x01, kDidBusBusy = 0x02, kDidTimeOut = 0x03,
                        kDidBadTarget = 0x04, kDidAbort = 0x05, kDidSoftError = 0x0B,
                        kDidImmRetry = 0x0C, kDidRequeue = 0x0D, kDidTransportDisrupted = 0x0E;
// Driver statuses (DRIVER_*), low nibble.
constexpr std::uint16_t kDriverOk = 0x00, kDriverBusy = 0x01, kDriverSoft = 0x02,
                        kDriverTimeout = 0x06, kDriverSense = 0x08;
// SCSI status bytes beyond good, check condition and busy.
constexpr std::uint8_t kStatusConditionMet = 0x04, kStatusIntermediate = 0x10,
                       kStatusTaskSetFull = 0x28;

// Our own id on a host: the usual initiator id 7, unless a device answers there.
std::uint8_t OwnId(const std::vector<int>& targets) {
    for (int id = 7; id >= 0; --id)
        if (std::find(targets.begin(), targets.end(), id) == targets.end()) return static_cast<std::uint8_t>(id);
    return 0xFF;
}

}  // namespace

sg_io_hdr BuildSgRequest(SRB_ExecSCSICmd& srb, std::uint8_t* sense, std::uint8_t senseSize) {
    sg_io_hdr request{};
    request.interface_id = 'S';
    if (srb.SRB_BufLen == 0)
        request.dxfer_direction = SG_DXFER_NONE;
    else if (srb.SRB_Flags & SRB_DIR_OUT)
        request.dxfer_direction = SG_DXFER_TO_DEV;
    else
        request.dxfer_direction = SG_DXFER_FROM_DEV;
    request.cmd_len = srb.SRB_CDBLen;
    request.cmdp = srb.CDBByte;
    request.dxfer_len = request.dxfer_direction == SG_DXFER_NONE ? 0 : srb.SRB_BufLen;
    request.dxferp = request.dxfer_len ? srb.SRB_BufPointer : nullptr;
    request.mx_sb_len = senseSize;
    request.sbp = sense;
    request.timeout = kSgTimeoutMs;
    return request;
}

void CompleteFromSg(int ioctlResult, int error, const sg_io_hdr& answer, const std::uint8_t* sense,
                    SRB_ExecSCSICmd& srb) {
    if (ioctlResult < 0) {
        switch (error) {
        case EBUSY:
        case EAGAIN:
        case EINTR: srb.SRB_Status = SS_ASPI_IS_BUSY; return;
        case ENOMEM: srb.SRB_Status = SS_BUFFER_TO_BIG; return;
        case ENODEV:
        case ENXIO: CompleteHostStatus(srb, HASTAT_SEL_TO); return;
        default: srb.SRB_Status = SS_ERR; return;
        }
    }
    switch (answer.host_status) {
    case kDidOk: break;
    case kDidNoConnect:
    case kDidBadTarget: CompleteHostStatus(srb, HASTAT_SEL_TO); return;
    case kDidTimeOut: CompleteHostStatus(srb, HASTAT_TIMEOUT); return;
    case kDidBusBusy:
    case kDidSoftError:
    case kDidImmRetry:
    case kDidRequeue:
    case kDidTransportDisrupted: srb.SRB_Status = SS_ASPI_IS_BUSY; return;
    case kDidAbort: CompleteHostStatus(srb, HASTAT_BUS_FREE); return;
    default: CompleteHostStatus(srb, HASTAT_PHASE_ERR); return;
    }
    switch (answer.driver_status & 0x0F) {
    case kDriverOk:
    case kDriverSense: break;
    case kDriverTimeout: CompleteHostStatus(srb, HASTAT_TIMEOUT); return;
    case kDriverBusy:
    case kDriverSoft: srb.SRB_Status = SS_ASPI_IS_BUSY; return;
    default:
        srb.SRB_HaStat = HASTAT_OK;
        srb.SRB_TargStat = STATUS_GOOD;
        srb.SRB_Status = SS_ERR;
        return;
    }
    switch (answer.status) {
    case STATUS_GOOD:
    case kStatusConditionMet:
    case kStatusIntermediate: CompleteGood(srb); return;
    case STATUS_BUSY:
    case kStatusTaskSetFull: CompleteBusy(srb); return;
    case STATUS_CHKCOND:
        std::memset(srb.SenseArea, 0, sizeof srb.SenseArea);
        StoreSense(srb, sense, answer.sb_len_wr);
        srb.SRB_HaStat = HASTAT_OK;
        srb.SRB_TargStat = STATUS_CHKCOND;
        srb.SRB_Status = SS_ERR;
        return;
    default:
        // Reservation conflict and the like: the target's own refusal.
        srb.SRB_HaStat = HASTAT_OK;
        srb.SRB_TargStat = answer.status;
        srb.SRB_Status = SS_ERR;
        return;
    }
}

SgBackend::Adapter* SgBackend::FindAdapter(int host) {
    for (Adapter& adapter : adapters_)
        if (adapter.host == host) return &adapter;
    return nullptr;
}

void SgBackend::Refresh() {
    adapters_.clear();
    for (const std::string& path : system_.DevicePaths()) {
        platform::SgHandle handle(system_, path);
        if (!handle.IsOpen()) continue;
        int version = 0;
        if (handle.Ioctl(SG_GET_VERSION_NUM, &version) < 0 || version < 30000) continue;
        sg_scsi_id id{};
        if (handle.Ioctl(SG_GET_SCSI_ID, &id) < 0) continue;
        Adapter* adapter = FindAdapter(id.host_no);
        if (!adapter) {
            adapters_.push_back({id.host_no, 0, {}});
            adapter = &adapters_.back();
            int bytes = 0;
            adapter->maxTransfer =
                handle.Ioctl(BLKSECTGET, &bytes) == 0 && bytes > 0 ? static_cast<std::uint32_t>(bytes) : 65536;
        }
        adapter->devices.push_back({id.scsi_id, id.lun, std::move(handle)});
    }
    std::sort(adapters_.begin(), adapters_.end(),
              [](const Adapter& a, const Adapter& b) { return a.host < b.host; });
}

void SgBackend::Inquire(SRB_HAInquiry& srb) {
    const Adapter& adapter = adapters_[srb.SRB_HaId];
    std::vector<int> targets;
    for (const Device& device : adapter.devices) targets.push_back(device.target);
    const int highest = targets.empty() ? 0 : *std::max_element(targets.begin(), targets.end());
    srb.HA_SCSI_ID = OwnId(targets);
    FillField(srb.HA_ManagerId, sizeof srb.HA_ManagerId, "Pelmora ASPI");
    FillField(srb.HA_Identifier, sizeof srb.HA_Identifier, ("scsi" + std::to_string(adapter.host)).c_str());
    std::memset(srb.HA_Unique, 0, sizeof srb.HA_Unique);
    // SG_IO takes any alignment: mask 0. Residual counts are not reported.
    srb.HA_Unique[3] = highest >= 8 ? static_cast<std::uint8_t>(std::min(highest + 1, 255)) : 0;
    for (int i = 0; i < 4; ++i) srb.HA_Unique[4 + i] = static_cast<std::uint8_t>(adapter.maxTransfer >> (8 * i));
    srb.SRB_Status = SS_COMP;
}

void SgBackend::Execute(SRB_ExecSCSICmd& srb) {
    const Adapter& adapter = adapters_[srb.SRB_HaId];
    const Device* device = nullptr;
    for (const Device& candidate : adapter.devices)
        if (candidate.target == srb.SRB_Target && candidate.lun == srb.SRB_Lun) device = &candidate;
    if (!device) {
        // The kernel has scanned the bus and made no node for this id: the device table says
        // there is none, which needs no retrying (a scan would otherwise wait out the retries of
        // every free id of every host, SATA ports included).
        srb.SRB_Status = SS_NO_DEVICE;
        return;
    }
    if (srb.SRB_BufLen > adapter.maxTransfer) {
        srb.SRB_Status = SS_BUFFER_TO_BIG;
        return;
    }
    std::uint8_t sense[32] = {};
    sg_io_hdr request = BuildSgRequest(srb, sense, sizeof sense);
    errno = 0;
    const int result = device->handle.Ioctl(SG_IO, &request);
    CompleteFromSg(result, errno, request, sense, srb);
}

}  // namespace pelmora::aspi
