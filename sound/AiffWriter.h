#pragma once
// Writers of new AIFF files: the New template, a document written with its loop markers, and
// the pad that puts the sample data where 512-byte sectors suit it.

#include <cstdint>
#include <vector>

#include "base/ProgressTask.h"
#include "base/StringId.h"
#include "platform/File.h"
#include "sound/AiffInst.h"
#include "sound/AiffTemplates.h"
#include "sound/SoundInfo.h"

namespace pelmora::aiff {

// Total length of the pad COMT that AlignDataStart writes after a header of `headerLength`
// bytes, 0 when the data start is aligned without one.
std::uint32_t PadChunkLength(std::uint64_t headerLength);

// Appends the pad COMT (when needed) and the SSND header at the end of the file, so that the data
// starts at a 512-byte boundary, or 8 bytes before one when a pad of less than 8 bytes would be
// needed. Returns the data offset. "File write error" when a write fails.
std::uint64_t AlignDataStart(platform::File& file, std::uint32_t dataBytes);

// New: writes the 512-byte header without markers at the start of `target` for the format,
// frames and rate of `info`, and makes `info` an AIFF whose data starts at 512. The caller
// writes the data after it. "File creating error" when a write fails.
void WriteNewFile(platform::File& target, SoundInfo& info);

// Writes FORM, COMM, MARK with `markers` (left out when there are none), INST for the
// instrument and `sustain`, the pad and the SSND header from the start of `target`, and
// returns the data offset. "File creating error" or "File write error" when a write fails.
std::uint64_t WriteMarkedHeader(platform::File& target, const TemplateFields& fields,
                                const std::vector<AiffMarker>& markers, const InstLoop& sustain);

// Writes the whole sound of `source` (WAV or AIFF working file described by `sourceInfo`) as an
// AIFF with COMM, the loop as MARK and INST, the pad COMT and SSND, then the data in AIFF
// encoding, block by block under `status`; ESC stops it with Cancelled when `cancellable`.
// Returns the data offset of the new file.
std::uint32_t WriteWithMarkers(const platform::File& source, const SoundInfo& sourceInfo,
                               platform::File& target, ProgressTask& progress, StringId status,
                               bool cancellable);

}  // namespace pelmora::aiff
