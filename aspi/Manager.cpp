// The entry points' checks of a request before a backend sees it, and the choice of backend.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "aspi/Backend.h"
#include "aspi/EmulatedBus.h"
#include "aspi/SgBackend.h"

namespace pelmora::aspi {

namespace {

std::uint32_t ExecuteChecked(Backend& backend, SRB_ExecSCSICmd& srb) {
    if (srb.SRB_CDBLen == 0 || srb.SRB_CDBLen > sizeof srb.CDBByte ||
        (srb.SRB_BufLen > 0 && srb.SRB_BufPointer == nullptr) ||
        (srb.SRB_Flags & (SRB_DIR_IN | SRB_DIR_OUT)) == (SRB_DIR_IN | SRB_DIR_OUT)) {
        srb.SRB_Status = SS_INVALID_SRB;
        return srb.SRB_Status;
    }
    srb.SRB_HaStat = HASTAT_OK;
    srb.SRB_TargStat = STATUS_GOOD;
    backend.Execute(srb);
    if ((srb.SRB_Flags & SRB_POSTING) && srb.SRB_PostProc) srb.SRB_PostProc(&srb);
    return srb.SRB_Status;
}

}  // namespace

std::uint32_t SupportInfo(Backend* backend) {
    if (!backend) return std::uint32_t{SS_NO_ADAPTERS} << 8;
    backend->Refresh();
    const std::uint8_t count = backend->AdapterCount();
    if (count == 0) return std::uint32_t{SS_NO_ADAPTERS} << 8;
    return (std::uint32_t{SS_COMP} << 8) | count;
}

std::uint32_t SendCommand(Backend* backend, void* request) {
    if (!request) return SS_INVALID_SRB;
    auto* header = static_cast<std::uint8_t*>(request);
    // Bytes 0..2 are SRB_Cmd, SRB_Status, SRB_HaId in every request record.
    const std::uint8_t command = header[0];
    if (command != SC_HA_INQUIRY && command != SC_EXEC_SCSI_CMD) {
        header[1] = SS_INVALID_CMD;
        return SS_INVALID_CMD;
    }
    if (!backend || header[2] >= backend->AdapterCount()) {
        header[1] = SS_INVALID_HA;
        return SS_INVALID_HA;
    }
    if (command == SC_HA_INQUIRY) {
        auto& srb = *static_cast<SRB_HAInquiry*>(request);
        srb.HA_Count = backend->AdapterCount();
        backend->Inquire(srb);
        return srb.SRB_Status;
    }
    return ExecuteChecked(*backend, *static_cast<SRB_ExecSCSICmd*>(request));
}

void FillField(std::uint8_t* field, std::size_t size, const char* text) {
    std::memset(field, ' ', size);
    std::memcpy(field, text, std::min(size, std::strlen(text)));
}

void CombinedBackend::Refresh() {
    for (auto& part : parts_) part->Refresh();
}

std::uint8_t CombinedBackend::AdapterCount() const {
    unsigned total = 0;
    for (const auto& part : parts_) total += part->AdapterCount();
    return static_cast<std::uint8_t>(std::min(total, 255u));
}

Backend* CombinedBackend::Route(std::uint8_t id, std::uint8_t& local) const {
    unsigned first = 0;
    for (const auto& part : parts_) {
        const unsigned count = part->AdapterCount();
        if (id < first + count) {
            local = static_cast<std::uint8_t>(id - first);
            return part.get();
        }
        first += count;
    }
    return nullptr;
}

namespace {

// Hands a request to the backend that owns its adapter, numbered as that backend counts them.
template <typename Request, typename Call>
void RouteRequest(const CombinedBackend& combined, Request& srb, Call call) {
    const std::uint8_t id = srb.SRB_HaId;
    std::uint8_t local = 0;
    Backend* part = combined.Route(id, local);
    if (!part) {
        srb.SRB_Status = SS_INVALID_HA;
        return;
    }
    srb.SRB_HaId = local;
    call(*part, srb);
    srb.SRB_HaId = id;
}

}  // namespace

void CombinedBackend::Inquire(SRB_HAInquiry& srb) {
    RouteRequest(*this, srb, [](Backend& part, SRB_HAInquiry& r) { part.Inquire(r); });
}

void CombinedBackend::Execute(SRB_ExecSCSICmd& srb) {
    RouteRequest(*this, srb, [](Backend& part, SRB_ExecSCSICmd& r) { part.Execute(r); });
}

std::unique_ptr<Backend> BackendFromEnvironment() {
    auto combined = std::make_unique<CombinedBackend>();
    combined->Add(std::make_unique<SgBackend>(platform::RealSgSystem()));
    const char* choice = std::getenv(kBackendVariable);
    const std::string prefix = "emulated:";
    if (choice && std::string(choice).rfind(prefix, 0) == 0)
        combined->Add(std::make_unique<EmulatedBus>(std::string(choice).substr(prefix.size())));
    return combined;
}

}  // namespace pelmora::aspi
