#pragma once
// Pitch Shift: the selected channels of the selection resampled segment by segment and spliced
// with crossfades, so that the pitch changes by the ratio while the length stays. In place
// inside the common edit frame (code 0).

#include "document/COLMDoc.h"

namespace pelmora {

inline constexpr double kPitchRateMin = 75.0;
inline constexpr double kPitchRateMax = 125.0;

// Shifts by `ratePercent` / 100 (75.0 … 125.0; 100 leaves the samples as they are). False for an
// empty selection or a rate outside the range; failures raise Error for the handler to show.
bool PitchShift(COLMDoc& doc, double ratePercent);

}  // namespace pelmora
