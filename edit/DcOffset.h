#pragma once
// DC Offset: measure and remove the average ("Auto Elimination"), or add a typed value
// ("Specify Offset Value") to the selected channels of the selection.

#include <cstdint>

#include "document/COLMDoc.h"

namespace pelmora {

enum class DcOffsetMode { Auto = 0, Specify = 1 };

// The offset Auto Elimination would add: per selected channel the negated mean (64-bit sum
// over the frames, truncated toward zero), then their average truncated toward zero.
std::int32_t MeasureDcOffset(COLMDoc& doc);

// Adds the offset; the typed value of Specify is first limited to what the sound's stored bits
// allow, and every sum to its word's range. An offset of 0 changes nothing and takes no undo
// copy (Auto says so). Auto reports the value it added. False when nothing changed.
bool DcOffset(COLMDoc& doc, DcOffsetMode mode, std::int64_t typedValue = 0);

}  // namespace pelmora
