#pragma once
// The export of one sound: its Sample Header, then its frames in the packets the instrument
// asks for, as 16-bit big-endian words (or signed bytes for an 8-bit sound to a synthesizer).

#include <cstdint>
#include <string>

#include "base/ProgressTask.h"
#include "sampler/SmdiLink.h"

namespace pelmora::smdi {

// Bytes per word on the wire: 1 for a 1-byte sound to a synthesizer, else 2.
int WireWordBytes(const SoundInfo& sound, DeviceFamily family);

// Converts `frames` frames of the sound's own encoding into wire words.
void ConvertToWire(const SoundInfo& sound, DeviceFamily family, const std::uint8_t* in, std::uint32_t frames,
                   std::uint8_t* out);

// Sends the sound whose frames lie in `workingPath` to the slot (0-based; a sampler's is 0).
// False on failure or ESC, the message (if any) shown; raises Error on a read error.
bool ExportTransfer(SmdiLink& link, const SoundInfo& sound, const std::string& workingPath, const std::string& title,
                    std::uint32_t slot, ProgressTask& progress);

}  // namespace pelmora::smdi
