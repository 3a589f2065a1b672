#pragma once
// In-place updates of an AIFF working file: format fields and sizes after edits, the loop and
// instrument at save time, and the place of the stored waveform image.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/File.h"
#include "sound/AiffChunks.h"
#include "sound/SoundInfo.h"

namespace pelmora::aiff {

// After a change of length or format: FORM size = file length − 8, the COMM fields, the SSND
// size = its offset field + 8 + data size, and the marker positions of `info` into MARK in
// place. Takes the working length and data end into `info`.
// "Data error" without COMM or SSND; "File write error" when a write fails.
void RefreshHeader(platform::File& file, SoundInfo& info);

// At save time: the INST chunk for the current loop and instrument. The two markers the INST
// sustain loop names are moved to the loop in place; only when it names none are markers at
// the loop boundaries added to MARK (a marker already at a boundary is reused; others stay). Chunks that change size move the rest of the file;
// the FORM size, data offset, working length and the stored INST and MARK bodies follow.
void UpdateLoopAndInstrument(platform::File& file, SoundInfo& info);

// The first "APPL" chunk that holds a waveform image ("QMV0" or "QMS0", then "WFrm").
std::optional<ChunkRef> FindImageChunk(const platform::File& file);

// Removes an existing image chunk, appends one with `body` at the end, corrects the FORM size.
void StoreImageChunk(platform::File& file, SoundInfo& info, const std::vector<std::uint8_t>& body);

}  // namespace pelmora::aiff
