#include "platform/Interrupt.h"

#include <atomic>
#include <csignal>

namespace pelmora::platform {

namespace {

std::atomic<bool> gPending{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

extern "C" void OnInterrupt(int) { gPending.store(true, std::memory_order_relaxed); }

}  // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool InterruptPending() { return gPending.load(std::memory_order_relaxed); }
void ClearInterrupt() { gPending.store(false, std::memory_order_relaxed); }
void RaiseInterruptFlag() { gPending.store(true, std::memory_order_relaxed); }

}  // namespace pelmora::platform
