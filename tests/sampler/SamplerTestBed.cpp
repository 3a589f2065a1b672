#include "SamplerTestBed.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/Ticks.h"
#include "support/ExternalReaders.h"

namespace pelmora::test {

namespace {

aspi::Backend* gBus = nullptr;
std::uint32_t BusSupportInfo() { return aspi::SupportInfo(gBus); }
std::uint32_t BusSend(void* srb) { return aspi::SendCommand(gBus, srb); }

}  // namespace

AspiEntryPoints EntryOver(aspi::Backend& bus) {
    gBus = &bus;
    return {BusSupportInfo, BusSend};
}

// The pauses between INQUIRY attempts at empty targets pass at once.
SamplerBed::SamplerBed() { platform::UseSteppingClock(1); }
SamplerBed::~SamplerBed() { platform::UseSteppingClock(0); }

void SamplerBed::AddInstrument(bool synthesizer, const std::string& extra) {
    synthesizer_ = synthesizer;
    const std::string product = synthesizer ? "Synthesizer VZ5" : "Sampler K3100";
    description_ = "vendor = ORBECK\nproduct = " + product + "\nid = " + (synthesizer ? "2" : "3") + "\n";
    MakeInstrument(bus_.Path(), synthesizer ? "vz" : "k", description_ + extra);
}

void SamplerBed::SetFaults(const std::string& faults) {
    MakeInstrument(bus_.Path(), synthesizer_ ? "vz" : "k", description_ + "faults = " + faults + "\n");
    bus->Refresh();
}

void SamplerBed::Connect() {
    bus = std::make_unique<aspi::EmulatedBus>(bus_.Path());
    entry = EntryOver(*bus);
    list.Scan(entry);
    ASSERT_FALSE(list.Empty());
    const ScsiDeviceEntry& current = *list.CurrentInstrument();
    link = std::make_unique<smdi::SmdiLink>(*current.device, current.family, prompter);
}

std::string SamplerBed::SlotPath(int slot, bool aiff) const {
    return Folder() + "/slot-" + std::to_string(slot) + (aiff ? ".aif" : ".wav");
}

std::string SamplerBed::Log() const {
    std::ifstream in(bus_.File("log"));
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::int32_t> Upper16(const std::string& path) {
    std::vector<std::int32_t> samples = SndfileSamples(path);
    for (auto& s : samples) s >>= 16;
    return samples;
}

}  // namespace pelmora::test
