#pragma once
// Resample: the whole sound converted to a new sample rate through the Kaiser-windowed sinc
// filter of ResampleFilter, streamed into a new file that replaces the working file as one
// undoable whole-file change. ESC stops it and leaves the document as it was.

#include <cstdint>

#include "document/COLMDoc.h"

namespace pelmora {

struct ResampleSettings {
    int order = 5;           // N, 2^k + 1 from 5 to 1025
    int rejection = -30;     // dB, −100 … 0 in steps of 10
    std::uint32_t rate = 0;  // the new rate
};

// The new frame count: the integer part of frames × new rate / old rate (loop points map the
// same way, so the loop end never passes the new length).
std::uint64_t ResampledFrames(std::uint32_t frames, std::uint32_t oldRate, std::uint32_t newRate);

// False when the rate is the document's own (nothing to do). Raises Error on a failure and
// Cancelled on ESC; the document is then unchanged.
bool Resample(COLMDoc& doc, const ResampleSettings& settings);

}  // namespace pelmora
