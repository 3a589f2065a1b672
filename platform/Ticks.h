#pragma once
// The tick count in milliseconds and the busy waits built on it. Tests swap in a clock that
// moves on by itself at each reading, so waits of the design's length take no time.

#include <cstdint>

namespace pelmora::platform {

std::uint64_t TickCount();
// Spins on the tick count until `milliseconds` have passed.
void BusyWait(std::uint32_t milliseconds);

// For tests: every reading of the tick count advances it by `step` ms (0 returns to real time).
void UseSteppingClock(std::uint32_t step);

}  // namespace pelmora::platform
