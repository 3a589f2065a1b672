#pragma once
// The four callbacks of libquorlib, the only names it exports. The user data and instance words
// are the address of the engine's PlaybackBlock.

#include <cstdint>

#if defined(QUORLIB_BUILD)
#define QUORLIB_API __attribute__((visibility("default")))
#else
#define QUORLIB_API
#endif

extern "C" {
// Feed timer: posts WM_AUDIO_FEED while a device runs and ticks are enabled.
QUORLIB_API void SendPCMCallBack(std::uint32_t timerId, std::uint32_t message, std::uintptr_t user,
                                 std::uintptr_t param1, std::uintptr_t param2);
// Display timer: the same test; posts WM_AUDIO_TICK.
QUORLIB_API void SendDrawFunc(std::uint32_t timerId, std::uint32_t message, std::uintptr_t user,
                              std::uintptr_t param1, std::uintptr_t param2);
// Wave output: counts a finished buffer (0x3BD) once a buffer was queued.
QUORLIB_API void wOutCallBack(std::uint32_t device, std::uint32_t message, std::uintptr_t instance,
                              std::uintptr_t param1, std::uintptr_t param2);
// Wave input: the same for a filled buffer (0x3C0).
QUORLIB_API void wInCallBack(std::uint32_t device, std::uint32_t message, std::uintptr_t instance,
                             std::uintptr_t param1, std::uintptr_t param2);
}
