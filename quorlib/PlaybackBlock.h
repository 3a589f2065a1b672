#pragma once
// The record the audio engine shares with the callbacks of libquorlib: 72 bytes in a fixed
// layout, passed as the callbacks' user data. Handles and header references are 32-bit ids; the
// words the callbacks read or write are atomics.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace pelmora {

inline constexpr std::uint8_t kEngineRunning = 16;
inline constexpr std::uint8_t kEngineRunningAlt = 18;  // accepted as running too
inline constexpr std::uint32_t WM_AUDIO_FEED = 2024;
inline constexpr std::uint32_t WM_AUDIO_TICK = 2124;

struct PlaybackBlock {
    std::atomic<std::uint32_t> reserved0{0};   // cleared when a device closes
    std::atomic<std::uint32_t> reserved1{0};   // cleared when a device closes
    std::atomic<std::uint8_t> state{0};        // kEngineRunning while a device runs
    std::uint8_t unused0[11] = {};
    std::atomic<std::uint32_t> waveIn{0};      // device handle
    std::atomic<std::uint32_t> waveOut{0};     // device handle
    // Buffers the device has finished and the engine has not yet taken: counted, so that none
    // is lost while the interface thread is busy.
    std::atomic<std::int32_t> bufferDone{0};
    std::atomic<std::int32_t> lastQueued{-1};  // index of the last buffer queued, −1 before the first
    std::atomic<std::uint32_t> closing{0};
    std::atomic<std::uint32_t> ticksEnabled{0};  // non-zero: the timers may post
    std::atomic<std::uint32_t> started0{0};      // set to 1 when a run starts
    std::atomic<std::uint32_t> started1{0};
    std::uint32_t unused1 = 0;
    std::uint32_t header[3] = {};                 // ids of the three buffer headers
    std::atomic<std::int32_t> window{-1};         // write end of the message pipe
};

static_assert(std::is_standard_layout_v<PlaybackBlock>);
static_assert(sizeof(PlaybackBlock) == 72);
static_assert(offsetof(PlaybackBlock, state) == 8);
static_assert(offsetof(PlaybackBlock, waveIn) == 20);
static_assert(offsetof(PlaybackBlock, waveOut) == 24);
static_assert(offsetof(PlaybackBlock, bufferDone) == 28);
static_assert(offsetof(PlaybackBlock, lastQueued) == 32);
static_assert(offsetof(PlaybackBlock, closing) == 36);
static_assert(offsetof(PlaybackBlock, ticksEnabled) == 40);
static_assert(offsetof(PlaybackBlock, started0) == 44);
static_assert(offsetof(PlaybackBlock, started1) == 48);
static_assert(offsetof(PlaybackBlock, header) == 56);
static_assert(offsetof(PlaybackBlock, window) == 68);
static_assert(std::atomic<std::int32_t>::is_always_lock_free && std::atomic<std::uint8_t>::is_always_lock_free);

}  // namespace pelmora
