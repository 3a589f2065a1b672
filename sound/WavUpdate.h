#pragma once
// In-place updates of a WAV working file: the header after a change of length or format, and
// the loop and instrument chunks at save time. A failure leaves the file as far as it was
// written and raises Error.

#include "platform/File.h"
#include "sound/SoundInfo.h"

namespace pelmora::wav {

// Brings 'fmt ' (the format tag and any extra bytes kept), the data size (frames × block
// align) and the RIFF size up to date. The bytes that follow the data (partial frame, pad byte,
// trailing chunks) are put right behind it again, with a pad byte after odd-sized data.
// The loop records and cue points of `info` are written into 'smpl' and 'cue ' in place.
// Updates the data offset, data end and working file length of `info`. Raises "Data error"
// without the form, 'fmt ' or 'data', "File read error" for a short 'fmt '.
void RefreshHeader(platform::File& file, SoundInfo& info);

// Writes the sound's loop into 'smpl' (added, grown by one loop record, rewritten, or removed
// when the loop is empty and the chunk holds at most one record) and replaces 'inst' with a new
// one at the end of the file. Chunks before the data may move: the data offset, data end and
// working file length of `info` are taken again.
void UpdateLoopAndInstrument(platform::File& file, SoundInfo& info);

}  // namespace pelmora::wav
