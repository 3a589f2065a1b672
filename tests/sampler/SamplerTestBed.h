#pragma once
// An emulated bus in a temporary folder, scanned into an instrument list, with a link to its
// current instrument: what the sampler's transfers and dialog run against in tests.

#include <memory>
#include <string>

#include "aspi/EmulatedBus.h"
#include "base/SilentProgress.h"
#include "sampler/InstrumentList.h"
#include "sampler/SmdiLink.h"
#include "support/EmulatorSupport.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

namespace pelmora::test {

// Entry points over one in-process bus, as a loaded manager's would be.
AspiEntryPoints EntryOver(aspi::Backend& bus);

class SamplerBed {
public:
    // One instrument: "K3100" (a sampler) or "VZ5" (a synthesizer), with extra description lines.
    void AddInstrument(bool synthesizer, const std::string& extra = "");
    SamplerBed();
    ~SamplerBed();
    // Scans the bus (once every instrument is made) and builds the link to the current one.
    void Connect();
    // Switches faults on after the scan, so that the scan's INQUIRY does not take them.
    void SetFaults(const std::string& faults);
    std::string Folder() const { return bus_.File(synthesizer_ ? "vz" : "k"); }
    std::string SlotPath(int slot, bool aiff) const;
    std::string Log() const;

    TempDir bus_;
    TempDir work;
    ScriptedPrompter prompter;
    SilentProgress progress;
    std::unique_ptr<aspi::EmulatedBus> bus;
    AspiEntryPoints entry;
    InstrumentList list;
    std::unique_ptr<smdi::SmdiLink> link;
    bool synthesizer_ = false;
    std::string description_;
};

// The samples of a sound file as their upper 16 bits, which is what travels over SMDI.
std::vector<std::int32_t> Upper16(const std::string& path);

}  // namespace pelmora::test
