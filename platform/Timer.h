#pragma once
// Periodic timers shaped like the system's multimedia timers: each runs its callback on a thread
// of its own, at fixed times from its start so that it does not drift.

#include <cstdint>

namespace pelmora::platform {

using TimerCallback = void (*)(std::uint32_t id, std::uint32_t message, std::uintptr_t user,
                               std::uintptr_t param1, std::uintptr_t param2);

struct TimerCaps {
    std::uint32_t periodMin = 1;
    std::uint32_t periodMax = 1000000;
};

bool TimeGetDevCaps(TimerCaps& caps);
// The period is a hint of the wanted resolution; the threads sleep to the millisecond anyway.
bool TimeBeginPeriod(std::uint32_t period);
bool TimeEndPeriod(std::uint32_t period);
// A timer that calls `callback` every `delayMs` milliseconds (once when not periodic); its id,
// 0 when it cannot be made.
std::uint32_t TimeSetEvent(std::uint32_t delayMs, std::uint32_t resolution, TimerCallback callback,
                           std::uintptr_t user, bool periodic);
// Stops the timer and waits for a running callback to return. False for an unknown id.
bool TimeKillEvent(std::uint32_t id);

}  // namespace pelmora::platform
