#pragma once
// SCSI generic backend: one ASPI adapter per SCSI host that has /dev/sg* devices (numbered
// densely, lowest host first), targets by their SCSI ids, commands through SG_IO.

#include <scsi/sg.h>

#include <cstdint>
#include <vector>

#include "aspi/Backend.h"
#include "platform/SgIo.h"

namespace pelmora::aspi {

// The SG_IO timeout, the program's own command timeout.
inline constexpr unsigned kSgTimeoutMs = 5000;

// The SG_IO request for an ASPI command; `sense` receives up to `senseSize` bytes.
sg_io_hdr BuildSgRequest(SRB_ExecSCSICmd& srb, std::uint8_t* sense, std::uint8_t senseSize);

// Completes the ASPI request from what SG_IO gave back: `ioctlResult` and `error` (errno) of the
// call, then the host, driver and target statuses of `answer`.
void CompleteFromSg(int ioctlResult, int error, const sg_io_hdr& answer, const std::uint8_t* sense,
                    SRB_ExecSCSICmd& srb);

class SgBackend : public Backend {
public:
    explicit SgBackend(platform::SgSystem& system) : system_(system) {}
    void Refresh() override;
    std::uint8_t AdapterCount() const override { return static_cast<std::uint8_t>(adapters_.size()); }
    void Inquire(SRB_HAInquiry& srb) override;
    void Execute(SRB_ExecSCSICmd& srb) override;

private:
    struct Device {
        int target = 0;
        int lun = 0;
        platform::SgHandle handle;
    };
    struct Adapter {
        int host = 0;
        std::uint32_t maxTransfer = 0;
        std::vector<Device> devices;
    };
    Adapter* FindAdapter(int host);

    platform::SgSystem& system_;
    std::vector<Adapter> adapters_;
};

}  // namespace pelmora::aspi
