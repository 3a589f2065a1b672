#pragma once
// Reverse: the selected frames in reverse order, on the selected channels only.

#include "document/COLMDoc.h"

namespace pelmora {

// Frame i and frame n − 1 − i of the selection exchange their selected channels' samples; the
// middle frame of an odd selection stays. False for an empty selection.
bool Reverse(COLMDoc& doc);

}  // namespace pelmora
