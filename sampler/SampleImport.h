#pragma once
// The import of one sample: its packets received into a looped AIFF file whose 512-byte header
// is written first, the data after it exactly as it arrives (big-endian, signed).

#include <cstdint>

#include "base/ProgressTask.h"
#include "sampler/SmdiLink.h"
#include "sound/AiffTemplates.h"

namespace pelmora::smdi {

// The header an import writes before `dataBytes` bytes of sample data.
aiff::HeaderImage ImportHeader(const SampleHeaderRecord& entry, std::uint32_t dataBytes);

// The packet length asked for: whole frames in 32768 bytes, plus the 14-byte packet head.
std::uint32_t RequestedPacketLength(const SampleHeaderRecord& entry);

// Receives the entry's sample into entry.targetPath. False on failure or ESC, with the file
// deleted and the message (if any) shown; the progress display has ended either way.
bool ImportTransfer(SmdiLink& link, const SampleHeaderRecord& entry, ProgressTask& progress);

}  // namespace pelmora::smdi
