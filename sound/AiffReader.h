#pragma once
// Reads an AIFF file into the document's SoundInfo, and the data alignment that the
// instruments' hard-disk playback needs.

#include "platform/File.h"
#include "sound/SoundInfo.h"

namespace pelmora::aiff {

struct ReadResult {
    // The data start does not suit HD Play mode; the open command offers the header rewrite.
    bool hdMisaligned = false;
};

// Fills the format, data offset, frames, loop, instrument and the stored INST and MARK bodies.
// Raises "File read error" when COMM or SSND is missing or unusable or a read fails.
ReadResult ReadIntoDocument(const platform::File& file, SoundInfo& info);

// Whether a sound of 1 or 2 bytes per sample starts its data where 512-byte sectors hold whole
// frames; wider sounds always pass.
bool IsHdAligned(const SoundInfo& info);

}  // namespace pelmora::aiff
