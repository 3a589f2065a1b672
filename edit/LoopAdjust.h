#pragma once
// How the loop, and every other frame position of the sound, follows frames that an edit
// removes or inserts, or that Time Comp/Exp shortens or lengthens.

#include <cstdint>

#include "sound/SoundInfo.h"

namespace pelmora {

enum class LoopEditRule { Clear, Insert, Trim };

struct LoopPoints {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t lock = 0;  // 0 none, 1 position, 2 length
};

// Where one position lands; s .. e is the selection before the edit, for Insert k frames
// replace it. A position inside removed frames goes to their start; Trim takes the kept
// frames' start as 0 and puts positions after them at the new end. The loop's start and end
// each move by this rule.
std::uint32_t MovePositionForEdit(LoopEditRule rule, std::uint32_t position, std::uint32_t s,
                                  std::uint32_t e, std::uint32_t k = 0);

// The loop, with the lock released where the edit reaches into it.
LoopPoints AdjustLoopForEdit(LoopEditRule rule, LoopPoints loop, std::uint32_t s, std::uint32_t e,
                             std::uint32_t k = 0);

// Time Comp/Exp: the selection s .. e becomes `modified` frames long. Positions at or after its
// end move by the change of length, those inside it are scaled from s by modified / (e − s).
std::uint32_t MovePositionForTimeChange(std::uint32_t position, std::uint32_t s, std::uint32_t e,
                                        std::uint32_t modified);
LoopPoints AdjustLoopForTimeChange(LoopPoints loop, std::uint32_t s, std::uint32_t e,
                                   std::uint32_t modified);

// Every loop record, cue point and marker of the sound by the same rules; `info.frames` must
// already be the count after the change.
void MoveMarkersForEdit(SoundInfo& info, LoopEditRule rule, std::uint32_t s, std::uint32_t e,
                        std::uint32_t k = 0);
void MoveMarkersForTimeChange(SoundInfo& info, std::uint32_t s, std::uint32_t e,
                              std::uint32_t modified);

}  // namespace pelmora
