#pragma once
// The system's wave input and output devices, the ones chosen for recording and playback, and
// the manufacturer and product ids that keep the choice in the profile across renumbering.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Wave.h"

namespace pelmora {

struct SoundDevice {
    std::uint32_t id = 0;  // platform::kWaveMapper for the system's default device
    platform::WaveCaps caps;
};

// The profile's "SndDev" values: −1 when none was saved.
struct DeviceIdPairs {
    int inMid = -1, inPid = -1, outMid = -1, outPid = -1;
};

// The entry a saved id pair selects: the first entry, or the last one whose ids match.
std::uint32_t SelectBySavedIds(const std::vector<SoundDevice>& list, int mid, int pid);

class SoundDevices {
public:
    // Builds both lists (the default device first, when it can be read), selects the first
    // entry of each, then every entry whose ids equal the saved pair: the last match wins.
    void Enumerate(const DeviceIdPairs& saved);
    bool Enumerated() const { return enumerated_; }

    const std::vector<SoundDevice>& Inputs() const { return inputs_; }
    const std::vector<SoundDevice>& Outputs() const { return outputs_; }
    // Null when the list is empty.
    const SoundDevice* SelectedInput() const { return Find(inputs_, selectedIn_); }
    const SoundDevice* SelectedOutput() const { return Find(outputs_, selectedOut_); }
    // The Sound Device Configuration dialog's OK: ids from the lists; false for an unknown id.
    bool SelectInput(std::uint32_t id);
    bool SelectOutput(std::uint32_t id);
    // The command line's "windows" switch: the devices whose product names match; false when
    // a name matches none (that side stays as it was).
    bool SelectByNames(const std::string& input, const std::string& output);

    // Neither an input nor an output device: Play, Record and the dialog are disabled.
    bool NoDevice() const { return inputs_.empty() && outputs_.empty(); }
    // What is written at exit: the ids of the selected devices (−1 for an empty list).
    DeviceIdPairs SelectedIds() const;

    // The names the file-information pane's "Device" tab shows ("" for none).
    std::string InputName() const;
    std::string OutputName() const;

private:
    static const SoundDevice* Find(const std::vector<SoundDevice>& list, std::uint32_t id);

    std::vector<SoundDevice> inputs_, outputs_;
    std::uint32_t selectedIn_ = 0, selectedOut_ = 0;
    bool enumerated_ = false;
};

}  // namespace pelmora
