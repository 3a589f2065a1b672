#pragma once
// The file's loop flag ("Loop On"): what a sampler does with the loop, play it endlessly or once.
// A loop the user makes where there was none is meant to loop, so it starts out on.

#include <cstdint>

#include "sound/SoundInfo.h"

namespace pelmora {

// Whether the sound has a loop range the flag can apply to.
bool LoopFlagApplies(const SoundInfo& info);

// Switches the flag on when the loop range was empty (`startBefore` = `endBefore`) and now holds
// frames; any other change leaves the flag as the user or the file set it.
void SwitchOnCreatedLoop(SoundInfo& info, std::uint32_t startBefore, std::uint32_t endBefore);

// "Loop On": flips the flag; false (and nothing changes) when the sound has no loop range.
bool ToggleLoopOn(SoundInfo& info);

}  // namespace pelmora
