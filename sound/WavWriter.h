#pragma once
// Writing the header of a new WAV file: 'fmt ', 'inst', 'smpl' for a loop, 'cue ' and "LIST"
// 'adtl' for markers that came from an AIFF, then the 'data' chunk header.

#include <cstdint>

#include "platform/File.h"
#include "sound/Riff.h"
#include "sound/SoundInfo.h"

namespace pelmora::wav {

// Writes every chunk up to and including the 'data' chunk header into `target` (created and
// named by the caller), with the RIFF and data sizes still 0, and returns the data offset. The
// caller appends the sample data and then calls RefreshHeader. A non-zero `channelOverride`
// replaces the sound's channel count in 'fmt '. 'smpl' is written for a loop or for loop records
// of `info`. Markers of an AIFF MARK body become cue points, except those the AIFF sustain loop
// names; the AIFF INST and MARK data are then forgotten. Without them the cue points of `info`
// are written as they are.
// Raises "File creating error".
std::uint32_t WriteNewHeader(platform::File& target, SoundInfo& info,
                             std::uint16_t channelOverride);

// Writes a new 'smpl' chunk at the writer's position and copies what it wrote into `info`: the
// loop records of `info.wavSmplLoops`, the first one standing for the sound's loop when that is
// not empty, or one record for the loop when there are none. False when a write fails.
bool WriteNewSampleLoop(riff::RiffWriter& writer, SoundInfo& info);

}  // namespace pelmora::wav
