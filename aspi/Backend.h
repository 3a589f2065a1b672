#pragma once
// What the ASPI manager's entry points run on: a set of host adapters that answer adapter
// inquiries and execute SCSI commands to completion.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Aspi.h"

namespace pelmora::aspi {

class Backend {
public:
    virtual ~Backend() = default;
    // Looks at the bus again (devices come and go); called for each support-info request.
    virtual void Refresh() = 0;
    virtual std::uint8_t AdapterCount() const = 0;
    // Fills the HA_ fields and SRB_Status of an inquiry for an adapter below AdapterCount().
    virtual void Inquire(SRB_HAInquiry& srb) = 0;
    // Runs the command and sets SRB_Status, SRB_HaStat, SRB_TargStat and the sense area.
    virtual void Execute(SRB_ExecSCSICmd& srb) = 0;
};

// The two entry points over a backend (the exported functions call these).
std::uint32_t SupportInfo(Backend* backend);
std::uint32_t SendCommand(Backend* backend, void* srb);

// The backend the environment asks for: the SCSI generic hosts, followed by the emulated bus when
// PELMORA_SCSI=emulated:DIR.
std::unique_ptr<Backend> BackendFromEnvironment();

// Adapters of several backends numbered one after the other.
class CombinedBackend : public Backend {
public:
    void Add(std::unique_ptr<Backend> part) { parts_.push_back(std::move(part)); }
    void Refresh() override;
    std::uint8_t AdapterCount() const override;
    void Inquire(SRB_HAInquiry& srb) override;
    void Execute(SRB_ExecSCSICmd& srb) override;
    // The backend that owns adapter `id`, and the id within it; null when none does.
    Backend* Route(std::uint8_t id, std::uint8_t& local) const;

private:
    std::vector<std::unique_ptr<Backend>> parts_;
};

// Copies text into a fixed field, padded with blanks, as the HA_ strings are.
void FillField(std::uint8_t* field, std::size_t size, const char* text);

}  // namespace pelmora::aspi
