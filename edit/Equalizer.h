#pragma once
// "EQ": the three bands in cascade over the selected channels of the selection, in place inside
// the common edit frame (code 0).

#include "document/COLMDoc.h"
#include "edit/EqBands.h"

namespace pelmora {

// Runs the bands (already validated) over the selection. False when nothing was processed: an
// empty selection, or every gain 0.0, which leaves the sound and the undo history as they are.
// Failures raise Error for the handler to show.
bool Equalize(COLMDoc& doc, const EqBands& bands);

}  // namespace pelmora
