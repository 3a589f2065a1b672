#pragma once
// The buttons of the parameter pane: the selection and loop locks, catching the loop points at
// the play cursor, and the zoom buttons and step lists.

#include <cstdint>

#include "display/SnapEdge.h"
#include "display/WaveformView.h"
#include "document/COLMDoc.h"

namespace pelmora {

inline constexpr std::uint32_t kLockNone = 0;
inline constexpr std::uint32_t kLockPosition = 1;
inline constexpr std::uint32_t kLockLength = 2;

// "Lock Sel Position" / "Lock Sel Length": only with a selection and while nothing plays.
// False when the button does nothing.
bool ToggleSelectionPositionLock(COLMDoc& doc, Transport transport);
bool ToggleSelectionLengthLock(COLMDoc& doc, Transport transport);
// "Lock Loop Position" / "Lock Loop Length": only with a loop.
bool ToggleLoopPositionLock(COLMDoc& doc);
bool ToggleLoopLengthLock(COLMDoc& doc);

// A position lock holds the length too, so both buttons show pressed.
inline bool PositionLockPressed(std::uint32_t lock) { return lock == kLockPosition; }
inline bool LengthLockPressed(std::uint32_t lock) { return lock != kLockNone; }
// "Catch Loop Start" and "Catch Loop End" cannot move a loop whose position is locked.
inline bool LoopCatchEnabled(const COLMDoc& doc) { return doc.loopLock != kLockPosition; }

struct LoopCatch {
    bool changed = false;  // the loop moved
    // Playback (not recording) goes on from the play cursor with the new loop.
    bool restartPlayback = false;
};

// "Catch Loop Start" / "Catch Loop End": the loop point goes to the play cursor.
LoopCatch CatchLoopStart(COLMDoc& doc, SnapMode snapMode, Transport transport);
LoopCatch CatchLoopEnd(COLMDoc& doc, SnapMode snapMode, Transport transport);

// The steps the zoom fields show: horizontal 1 … 22, vertical 1 … 10.
int HorizontalStepOf(const COLMDoc& doc);
bool SetHorizontalStep(COLMDoc& doc, int step, const PaneContext& pane);
bool SetVerticalStep(COLMDoc& doc, int step, const PaneContext& pane);

}  // namespace pelmora
