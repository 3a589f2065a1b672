#pragma once
// Column extents read from the samples themselves, for zooms finer than the image holds.

#include <cstdint>

#include "display/ImageColumns.h"
#include "platform/File.h"
#include "sound/SoundInfo.h"

namespace pelmora {

// Each column covers `zoom` frames (at least one) from `first`; its extent is the largest and
// smallest sample of each channel. Stops at the end of the sound or after `columns` columns.
// Raises "File read error" when the frames cannot be read.
ImageColumns ReadSampleColumns(const platform::File& file, const SoundInfo& info, double zoom,
                               std::uint32_t first, std::uint32_t columns);

}  // namespace pelmora
