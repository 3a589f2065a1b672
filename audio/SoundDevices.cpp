#include "audio/SoundDevices.h"

namespace pelmora {

namespace {

std::vector<SoundDevice> ListDevices(platform::WaveDir dir) {
    std::vector<SoundDevice> list;
    const std::uint32_t count = platform::WaveGetNumDevs(dir);
    SoundDevice d;
    if (platform::WaveGetDevCaps(dir, platform::kWaveMapper, d.caps)) {
        d.id = platform::kWaveMapper;
        list.push_back(d);
    }
    for (std::uint32_t id = 0; id < count; ++id) {
        if (!platform::WaveGetDevCaps(dir, id, d.caps)) continue;
        d.id = id;
        list.push_back(d);
    }
    return list;
}

}  // namespace

std::uint32_t SelectBySavedIds(const std::vector<SoundDevice>& list, int mid, int pid) {
    std::uint32_t selected = list.empty() ? 0 : list.front().id;
    const auto wantMid = static_cast<std::uint16_t>(mid & 0xFFFF);
    const auto wantPid = static_cast<std::uint16_t>(pid & 0xFFFF);
    if (wantMid == 0xFFFF && wantPid == 0xFFFF) return selected;
    for (const SoundDevice& d : list)
        if (d.caps.mid == wantMid && d.caps.pid == wantPid) selected = d.id;
    return selected;
}

void SoundDevices::Enumerate(const DeviceIdPairs& saved) {
    inputs_ = ListDevices(platform::WaveDir::In);
    outputs_ = ListDevices(platform::WaveDir::Out);
    selectedIn_ = SelectBySavedIds(inputs_, saved.inMid, saved.inPid);
    selectedOut_ = SelectBySavedIds(outputs_, saved.outMid, saved.outPid);
    enumerated_ = true;
}

const SoundDevice* SoundDevices::Find(const std::vector<SoundDevice>& list, std::uint32_t id) {
    for (const SoundDevice& d : list)
        if (d.id == id) return &d;
    return nullptr;
}

bool SoundDevices::SelectInput(std::uint32_t id) {
    if (!Find(inputs_, id)) return false;
    selectedIn_ = id;
    return true;
}

bool SoundDevices::SelectOutput(std::uint32_t id) {
    if (!Find(outputs_, id)) return false;
    selectedOut_ = id;
    return true;
}

bool SoundDevices::SelectByNames(const std::string& input, const std::string& output) {
    bool all = true;
    auto pick = [&all](const std::vector<SoundDevice>& list, const std::string& name, std::uint32_t& selected) {
        for (const SoundDevice& d : list)
            if (d.caps.productName == name || d.caps.deviceName == name) {
                selected = d.id;
                return;
            }
        all = false;
    };
    pick(inputs_, input, selectedIn_);
    pick(outputs_, output, selectedOut_);
    return all;
}

DeviceIdPairs SoundDevices::SelectedIds() const {
    DeviceIdPairs ids;
    if (const SoundDevice* in = SelectedInput()) {
        ids.inMid = in->caps.mid;
        ids.inPid = in->caps.pid;
    }
    if (const SoundDevice* out = SelectedOutput()) {
        ids.outMid = out->caps.mid;
        ids.outPid = out->caps.pid;
    }
    return ids;
}

std::string SoundDevices::InputName() const {
    const SoundDevice* d = SelectedInput();
    return d ? d->caps.productName : std::string();
}

std::string SoundDevices::OutputName() const {
    const SoundDevice* d = SelectedOutput();
    return d ? d->caps.productName : std::string();
}

}  // namespace pelmora
