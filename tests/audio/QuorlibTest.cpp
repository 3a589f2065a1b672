// The four callbacks of libquorlib on their own, for each combination of the words they test,
// and what the library exports.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "platform/MessagePipe.h"
#include "quorlib/PlaybackBlock.h"
#include "quorlib/Quorlib.h"

namespace pelmora {
namespace {

std::vector<std::uint32_t> Posted(const platform::MessagePipe& pipe) {
    std::vector<std::uint32_t> got;
    pipe.ReadAll(got);
    return got;
}

TEST(Quorlib, TimerCallbacksPostOnlyWhileRunningWithTicksEnabled) {
    struct Case {
        std::uint8_t state;
        std::uint32_t ticks;
        bool posts;
    } cases[] = {
        {0, 0, false},   // no run
        {0, 1, false},   // no run, whatever ticks-enabled holds
        {16, 0, false},  // running, ticks held back during a fill
        {16, 1, true},
        {18, 1, true},   // the other running state
        {18, 0, false},
        {17, 1, false},  // any other state
    };
    for (const Case& c : cases) {
        platform::MessagePipe pipe;
        PlaybackBlock block;
        block.window = pipe.WriteFd();
        block.state = c.state;
        block.ticksEnabled = c.ticks;
        const auto user = reinterpret_cast<std::uintptr_t>(&block);
        SendPCMCallBack(1, 0, user, 0, 0);
        SendDrawFunc(2, 0, user, 0, 0);
        const std::vector<std::uint32_t> expected =
            c.posts ? std::vector<std::uint32_t>{WM_AUDIO_FEED, WM_AUDIO_TICK} : std::vector<std::uint32_t>{};
        EXPECT_EQ(Posted(pipe), expected) << int(c.state) << " " << c.ticks;
    }
}

TEST(Quorlib, DeviceCallbacksCountFinishedBuffersOnceOneWasQueued) {
    struct Case {
        std::uint32_t message;
        bool output;  // wOutCallBack, else wInCallBack
        std::int32_t lastQueued;
        std::int32_t doneBefore;
        std::int32_t doneAfter;
    } cases[] = {
        {0x3BD, true, 0, 0, 1},    // a finished output buffer
        {0x3BD, true, 2, 1, 2},    // a second before the engine took the first: counted, not absorbed
        {0x3BD, true, -1, 0, 0},   // before any buffer was queued
        {0x3BB, true, 0, 0, 0},    // open notice
        {0x3BC, true, 0, 0, 0},    // close notice
        {0x3C0, true, 0, 0, 0},    // an input notice to the output callback
        {0x3C0, false, 1, 0, 1},   // a filled input buffer
        {0x3C0, false, 1, 3, 4},
        {0x3C0, false, -1, 0, 0},
        {0x3BE, false, 0, 0, 0},   // input open notice
        {0x3BD, false, 0, 0, 0},   // an output notice to the input callback
    };
    for (const Case& c : cases) {
        PlaybackBlock block;
        block.lastQueued = c.lastQueued;
        block.bufferDone = c.doneBefore;
        const auto instance = reinterpret_cast<std::uintptr_t>(&block);
        if (c.output) wOutCallBack(1, c.message, instance, 0, 0);
        else wInCallBack(1, c.message, instance, 0, 0);
        EXPECT_EQ(block.bufferDone.load(), c.doneAfter) << std::hex << c.message << " " << c.lastQueued;
    }
}

TEST(Quorlib, ExportsExactlyTheFourCallbacks) {
    const std::string command = std::string("nm -D --defined-only '") + QUORLIB_PATH + "'";
    std::FILE* nm = ::popen(command.c_str(), "r");
    ASSERT_NE(nm, nullptr);
    std::set<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof line, nm)) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        names.insert(text.substr(text.rfind(' ') + 1));
    }
    EXPECT_EQ(::pclose(nm), 0);
    EXPECT_EQ(names, (std::set<std::string>{"SendPCMCallBack", "SendDrawFunc", "wOutCallBack", "wInCallBack"}));
}

}  // namespace
}  // namespace pelmora
