// The periodic timers and the message pipe the callbacks post through.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/MessagePipe.h"
#include "platform/Timer.h"

namespace pelmora::platform {
namespace {

std::atomic<int> calls{0};
void Count(std::uint32_t, std::uint32_t, std::uintptr_t user, std::uintptr_t, std::uintptr_t) {
    calls.fetch_add(1);
    MessagePipe::Post(static_cast<int>(user), 7);
}

TEST(Timer, CallsPeriodicallyUntilKilled) {
    MessagePipe pipe;
    ASSERT_TRUE(pipe.IsOpen());
    calls = 0;
    const std::uint32_t id = TimeSetEvent(20, 1, Count, static_cast<std::uintptr_t>(pipe.WriteFd()), true);
    ASSERT_NE(id, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(210));
    EXPECT_TRUE(TimeKillEvent(id));
    const int seen = calls.load();
    EXPECT_GE(seen, 6);
    EXPECT_LE(seen, 11);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(calls.load(), seen);  // none after the kill returned
    EXPECT_FALSE(TimeKillEvent(id));
    std::vector<std::uint32_t> messages;
    EXPECT_EQ(pipe.ReadAll(messages), static_cast<std::size_t>(seen));
    for (std::uint32_t m : messages) EXPECT_EQ(m, 7u);
    EXPECT_FALSE(pipe.Wait(0));
}

TEST(Timer, OneShotAndRefusals) {
    calls = 0;
    MessagePipe pipe;
    EXPECT_EQ(TimeSetEvent(0, 1, Count, 0, true), 0u);
    EXPECT_EQ(TimeSetEvent(10, 1, nullptr, 0, true), 0u);
    const std::uint32_t id = TimeSetEvent(10, 1, Count, static_cast<std::uintptr_t>(pipe.WriteFd()), false);
    EXPECT_TRUE(pipe.Wait(1000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(calls.load(), 1);
    TimeKillEvent(id);
}

TEST(MessagePipe, KeepsTheOrderOfPostsFromOtherThreads) {
    MessagePipe pipe;
    std::thread poster([fd = pipe.WriteFd()] {
        for (std::uint32_t i = 0; i < 500; ++i) MessagePipe::Post(fd, i);
    });
    poster.join();
    std::vector<std::uint32_t> got;
    pipe.ReadAll(got);
    ASSERT_EQ(got.size(), 500u);
    for (std::uint32_t i = 0; i < 500; ++i) EXPECT_EQ(got[i], i);
}

}  // namespace
}  // namespace pelmora::platform
