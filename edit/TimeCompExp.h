#pragma once
// Time Comp/Exp: the selection (every channel) becomes a chosen number of frames between 75 %
// and 125 % of its length without a change of pitch; the frames after it, the loop, the markers
// and the waveform image follow. Inside the common edit frame with code 8.

#include <cstdint>

#include "document/COLMDoc.h"

namespace pelmora {

// The shortest selection the command takes: below 4 frames 125 % of it rounds down to itself.
inline constexpr std::uint32_t kTimeCompExpMinFrames = 4;

struct TimeLengthLimits {
    std::uint32_t min = 0, max = 0;  // integer parts of 0.75 × and 1.25 × the original
};
TimeLengthLimits TimeLengthLimitsFor(std::uint32_t original);

// Whether the menu item is enabled: every channel selected and at least 4 frames.
bool TimeCompExpApplies(const COLMDoc& doc);

// Makes the selection `modified` frames long. False when the command does not apply or the
// length is outside the limits; failures raise Error for the handler to show.
bool TimeCompExp(COLMDoc& doc, std::uint32_t modified);

}  // namespace pelmora
