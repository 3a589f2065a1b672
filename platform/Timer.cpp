#include "platform/Timer.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace pelmora::platform {

namespace {

using Clock = std::chrono::steady_clock;

class TimerThread {
public:
    TimerThread(std::uint32_t id, std::uint32_t delayMs, TimerCallback callback, std::uintptr_t user, bool periodic)
        : thread_([=, this] { Run(id, delayMs, callback, user, periodic); }) {}
    ~TimerThread() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

private:
    void Run(std::uint32_t id, std::uint32_t delayMs, TimerCallback callback, std::uintptr_t user, bool periodic) {
        const auto period = std::chrono::milliseconds(std::max<std::uint32_t>(delayMs, 1));
        auto next = Clock::now() + period;
        std::unique_lock lock(mutex_);
        while (!stop_) {
            if (wake_.wait_until(lock, next, [this] { return stop_; })) break;
            lock.unlock();
            callback(id, 0, user, 0, 0);
            lock.lock();
            if (!periodic) break;
            next += period;
            // A thread held up for longer than a period skips the lost calls.
            const auto now = Clock::now();
            if (next < now) next = now + period;
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;  // last: it starts once the rest stands
};

std::mutex registryMutex;
std::map<std::uint32_t, std::unique_ptr<TimerThread>> timers;
std::uint32_t nextId = 1;

}  // namespace

bool TimeGetDevCaps(TimerCaps& caps) {
    caps = TimerCaps{};
    return true;
}

bool TimeBeginPeriod(std::uint32_t period) { return period >= 1; }
bool TimeEndPeriod(std::uint32_t period) { return period >= 1; }

std::uint32_t TimeSetEvent(std::uint32_t delayMs, std::uint32_t, TimerCallback callback, std::uintptr_t user,
                           bool periodic) {
    if (!callback || delayMs == 0) return 0;
    std::lock_guard lock(registryMutex);
    const std::uint32_t id = nextId++;
    timers.emplace(id, std::make_unique<TimerThread>(id, delayMs, callback, user, periodic));
    return id;
}

bool TimeKillEvent(std::uint32_t id) {
    std::unique_ptr<TimerThread> timer;
    {
        std::lock_guard lock(registryMutex);
        auto it = timers.find(id);
        if (it == timers.end()) return false;
        timer = std::move(it->second);
        timers.erase(it);
    }
    timer.reset();  // joins outside the registry lock
    return true;
}


}  // namespace pelmora::platform
