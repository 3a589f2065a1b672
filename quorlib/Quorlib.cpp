// Runs on the timer and device threads: reads a few words of the PlaybackBlock and posts a
// message or counts a finished buffer. No lock, no allocation, one system call at most.

#include "quorlib/Quorlib.h"

#include <unistd.h>

#include "quorlib/PlaybackBlock.h"

namespace {

constexpr std::uint32_t kWomDone = 0x3BD;
constexpr std::uint32_t kWimData = 0x3C0;

void PostIfRunning(std::uintptr_t user, std::uint32_t message) {
    auto* block = reinterpret_cast<pelmora::PlaybackBlock*>(user);
    const std::uint8_t state = block->state.load();
    if ((state != pelmora::kEngineRunning && state != pelmora::kEngineRunningAlt) || block->ticksEnabled.load() == 0)
        return;
    const int fd = block->window.load();
    if (fd < 0) return;
    // A full pipe drops the message; the next tick brings another.
    const ssize_t written = ::write(fd, &message, sizeof message);
    (void)written;
}

void CountDone(std::uintptr_t instance) {
    auto* block = reinterpret_cast<pelmora::PlaybackBlock*>(instance);
    if (block->lastQueued.load() < 0) return;
    block->bufferDone.fetch_add(1);
}

}  // namespace

extern "C" {

void SendPCMCallBack(std::uint32_t, std::uint32_t, std::uintptr_t user, std::uintptr_t, std::uintptr_t) {
    PostIfRunning(user, pelmora::WM_AUDIO_FEED);
}

void SendDrawFunc(std::uint32_t, std::uint32_t, std::uintptr_t user, std::uintptr_t, std::uintptr_t) {
    PostIfRunning(user, pelmora::WM_AUDIO_TICK);
}

void wOutCallBack(std::uint32_t, std::uint32_t message, std::uintptr_t instance, std::uintptr_t, std::uintptr_t) {
    if (message == kWomDone) CountDone(instance);
}

void wInCallBack(std::uint32_t, std::uint32_t message, std::uintptr_t instance, std::uintptr_t, std::uintptr_t) {
    if (message == kWimData) CountDone(instance);
}

}
