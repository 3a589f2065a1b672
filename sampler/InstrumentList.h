#pragma once
// The instruments found on the SCSI bus: the identification table, the scan of every adapter
// and target, and the list whose first entry is the current instrument.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sampler/AspiManager.h"
#include "sampler/CAspiDevice.h"
#include "sampler/CAspiInq.h"

namespace pelmora {

enum class DeviceFamily { Sampler, Synthesizer };

const char* FamilyName(DeviceFamily family);

// The family of a vendor and product field pair, by the identification table; both must match
// exactly, trailing blanks included.
std::optional<DeviceFamily> FamilyOf(const std::string& vendor, const std::string& product);

struct ScsiDeviceEntry {
    DeviceFamily family;
    std::unique_ptr<CAspiDevice> device;
    std::string product;  // the 16-character product field
};

// INQUIRY with the retry rule (a pause of 100 ms between attempts; at most 10 attempts of class
// Retry and 5 of class Error, Fatal stops at once), then the table. `inquiry` gets the result.
std::optional<DeviceFamily> IdentifyInstrument(CAspiDevice& device, CAspiInq& inquiry);

class InstrumentList {
public:
    // Every adapter whose inquiry completed, every target but the adapter's own id, ascending.
    void Scan(const AspiEntryPoints& entry);
    void Free() { entries_.clear(); }
    // The first entry, or null when the list is empty.
    const ScsiDeviceEntry* CurrentInstrument() const { return entries_.empty() ? nullptr : &entries_.front(); }
    const std::vector<ScsiDeviceEntry>& Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }

private:
    std::vector<ScsiDeviceEntry> entries_;
};

// One line of the instrument list: "ADAPTER:TARGET FAMILY PRODUCT", trailing blanks removed.
std::string DescribeInstrument(const ScsiDeviceEntry& entry);

}  // namespace pelmora
