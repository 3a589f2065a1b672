#pragma once
// The sample-wise amplitude operations of the Edit menu. Each works on the selected channels
// of the selected frames inside the common edit frame (undo and redo copies, code 0) and
// returns false when it changed nothing; failures raise Error for the handler to show.

#include <cstdint>

#include "document/COLMDoc.h"

namespace pelmora {

// Scales by `ratePercent` / 100 (the Gain dialog's integer rate).
bool Gain(COLMDoc& doc, int ratePercent);
// Scales so that the selection's peak lands at `ratePercent` of full scale. A silent selection
// is left alone, and the user told so.
bool Normalize(COLMDoc& doc, int ratePercent);
// The largest absolute sample of the selected channels of the selection, in 64 bits.
std::uint64_t SelectionPeak(COLMDoc& doc);
bool FadeIn(COLMDoc& doc);
bool FadeOut(COLMDoc& doc);
// Every sample becomes −sample − 1 (its bits complemented).
bool Invert(COLMDoc& doc);
bool Silence(COLMDoc& doc);

}  // namespace pelmora
