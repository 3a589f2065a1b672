#pragma once
// Selection, selected channels and loop points of a document, set directly.

#include <cstdint>

#include "document/COLMDoc.h"

namespace pelmora {

enum class ChannelChoice { Both, Left, Right };

// False when the range does not fit the sound (start ≤ end ≤ frames).
bool SelectFrames(COLMDoc& doc, std::uint32_t start, std::uint32_t end);
void SelectAll(COLMDoc& doc);
// False for Right in a mono sound.
bool SelectChannels(COLMDoc& doc, ChannelChoice choice);
// Loop start, end and flag, with no snapping or lock rules. False when the range does not fit.
bool SetLoop(COLMDoc& doc, std::uint32_t start, std::uint32_t end, bool on);
// "Select Loop": the selection becomes the loop range.
void SelectLoop(COLMDoc& doc);
// "Selection to Loop": the loop range becomes the selection.
void SelectionToLoop(COLMDoc& doc);

}  // namespace pelmora
