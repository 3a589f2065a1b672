#include "platform/Ticks.h"

#include <atomic>
#include <chrono>

namespace pelmora::platform {

namespace {

std::atomic<std::uint32_t> clockStep{0};
std::atomic<std::uint64_t> fakeNow{0};

}  // namespace

std::uint64_t TickCount() {
    if (const std::uint32_t step = clockStep.load()) return fakeNow.fetch_add(step) + step;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void BusyWait(std::uint32_t milliseconds) {
    const std::uint64_t start = TickCount();
    while (TickCount() - start < milliseconds) {
    }
}

void UseSteppingClock(std::uint32_t step) { clockStep.store(step); }

}  // namespace pelmora::platform
