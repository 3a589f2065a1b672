#pragma once
// The 16-bit WAV copy of a document's sound that the MP3 encoder reads, made in the working
// directory: a WAV document's working file copied, an AIFF one converted to WAV, and a sound of
// another width narrowed to 16 bits through a 32-bit float file. The copy ends with its last
// sample.

#include <cstdint>

#include "base/ProgressTask.h"
#include "document/COLMDoc.h"
#include "mp3/ScratchFile.h"

namespace pelmora {

// Removed by the destructor of the returned file. Raises Error ("Empty disk space" when the
// working drive cannot hold the copies, "File read error", ...) and Cancelled on ESC; no
// file of its own is left behind either way.
ScratchFile MakeEncoderInput(COLMDoc& doc);

// Bytes the copies need in the working directory at the most.
std::uint64_t EncoderInputSpace(const SoundInfo& info);

// One sample's way through the float file: the widened 32-bit value stored as a float of
// value ÷ 2^31, read back × 2^31 within −2^31 … 32767 × 2^16, rounded half away from zero and
// shifted right by 16.
std::int16_t NarrowThroughFloat(std::int32_t widened);
std::int16_t NarrowFloatSample(const std::uint8_t* stored);

}  // namespace pelmora
