// The null wave device in real time: what it writes to OUT.wav and when, what it records from
// IN.wav, and the handle rules the engine relies on.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Wave.h"
#include "support/AudioFiles.h"
#include "support/TempDir.h"

namespace pelmora::platform {
namespace {

using test::NullAudio;
using test::Samples16;
using test::WavData;
using Clock = std::chrono::steady_clock;

std::atomic<int> doneCount{0};
void CountDone(std::uint32_t, std::uint32_t message, std::uintptr_t, std::uintptr_t, std::uintptr_t) {
    if (message == kWomDone || message == kWimData) doneCount.fetch_add(1);
}

bool WaitForDone(int count, int timeoutMs = 3000) {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (doneCount.load() < count && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return doneCount.load() >= count;
}

// A buffer of `frames` mono 16-bit samples valued first, first + 1, ...
std::vector<std::uint8_t> Ramp(int frames, int first) {
    std::vector<std::uint8_t> b;
    for (int i = 0; i < frames; ++i) {
        b.push_back(static_cast<std::uint8_t>((first + i) & 0xFF));
        b.push_back(static_cast<std::uint8_t>((first + i) >> 8));
    }
    return b;
}

constexpr WaveFormat kMono8k{1, 8000, 2, 16};

TEST(NullWaveDevice, PlaysQueuedBuffersInRealTimeIntoOutWav) {
    test::TempDir dir;
    NullAudio audio("", dir.File("out.wav"));
    doneCount = 0;
    std::uint32_t h = 0;
    ASSERT_EQ(WaveOpen(WaveDir::Out, 0, kMono8k, CountDone, 0, h), WaveResult::Ok);
    std::vector<std::uint8_t> data[3] = {Ramp(800, 0), Ramp(800, 1000), Ramp(400, 2000)};
    WaveHeader headers[3];
    const auto start = Clock::now();
    for (int i = 0; i < 3; ++i) {
        headers[i].data = data[i].data();
        headers[i].bufferLength = static_cast<std::uint32_t>(data[i].size());
        ASSERT_EQ(WaveOutWrite(h, headers[i]), WaveResult::Unprepared);  // unprepared headers are refused
        ASSERT_EQ(WavePrepareHeader(h, headers[i]), WaveResult::Ok);
        ASSERT_EQ(WaveOutWrite(h, headers[i]), WaveResult::Ok);
    }
    EXPECT_EQ(WaveUnprepareHeader(h, headers[0]), WaveResult::StillPlaying);
    EXPECT_EQ(WaveClose(h), WaveResult::StillPlaying);
    ASSERT_TRUE(WaitForDone(3));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_GE(seconds, 0.245);  // 2000 frames at 8 kHz
    EXPECT_LT(seconds, 1.0);
    std::uint64_t position = 0;
    EXPECT_EQ(WaveGetPosition(h, position), WaveResult::Ok);
    EXPECT_EQ(position, 4000u);
    for (WaveHeader& header : headers) EXPECT_EQ(WaveUnprepareHeader(h, header), WaveResult::Ok);
    ASSERT_EQ(WaveClose(h), WaveResult::Ok);
    std::vector<std::uint8_t> expected = data[0];
    expected.insert(expected.end(), data[1].begin(), data[1].end());
    expected.insert(expected.end(), data[2].begin(), data[2].end());
    EXPECT_EQ(WavData(dir.File("out.wav")), expected);
    EXPECT_EQ(test::ReadAll(dir.File("out.wav")).size(), 44 + expected.size());  // sizes patched
}

TEST(NullWaveDevice, ResetKeepsTheStartedBufferWholeAndNothingIsWrittenWhileIdle) {
    test::TempDir dir;
    NullAudio audio("", dir.File("out.wav"));
    doneCount = 0;
    std::uint32_t h = 0;
    ASSERT_EQ(WaveOpen(WaveDir::Out, 0, kMono8k, CountDone, 0, h), WaveResult::Ok);
    std::vector<std::uint8_t> a = Ramp(8000, 0), b = Ramp(8000, 9000), c = Ramp(100, 20000);
    WaveHeader ha, hb, hc;
    for (auto [header, bytes] : {std::pair{&ha, &a}, std::pair{&hb, &b}, std::pair{&hc, &c}}) {
        header->data = bytes->data();
        header->bufferLength = static_cast<std::uint32_t>(bytes->size());
        WavePrepareHeader(h, *header);
    }
    WaveOutWrite(h, ha);
    WaveOutWrite(h, hb);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto before = Clock::now();
    EXPECT_EQ(WaveReset(h), WaveResult::Ok);
    EXPECT_EQ(doneCount.load(), 2);  // both back at once, the second unplayed
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    WaveOutWrite(h, hc);
    ASSERT_TRUE(WaitForDone(3));
    ASSERT_EQ(WaveClose(h), WaveResult::Ok);
    std::vector<std::uint8_t> expected = a;
    expected.insert(expected.end(), c.begin(), c.end());
    EXPECT_EQ(WavData(dir.File("out.wav")), expected);
}

TEST(NullWaveDevice, VolumeScalesEachChannel) {
    test::TempDir dir;
    NullAudio audio("", dir.File("out.wav"));
    doneCount = 0;
    std::uint32_t h = 0;
    ASSERT_EQ(WaveOpen(WaveDir::Out, 0, {2, 8000, 4, 16}, CountDone, 0, h), WaveResult::Ok);
    std::vector<std::uint8_t> frames;
    for (std::int16_t v : {std::int16_t(1000), std::int16_t(-1000), std::int16_t(-32768), std::int16_t(32767)}) {
        frames.push_back(static_cast<std::uint8_t>(v & 0xFF));
        frames.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    WaveHeader header;
    header.data = frames.data();
    header.bufferLength = static_cast<std::uint32_t>(frames.size());
    WavePrepareHeader(h, header);
    WaveOutSetVolume(h, (255u * 255u) | (128u * 255u) << 16);  // left unchanged, right 128 / 255
    WaveOutWrite(h, header);
    ASSERT_TRUE(WaitForDone(1));
    WaveClose(h);
    EXPECT_EQ(Samples16(WavData(dir.File("out.wav"))),
              (std::vector<std::int16_t>{1000, -1000 * 128 / 255, -32768, 32767 * 128 / 255}));
}

TEST(NullWaveDevice, RecordsInWavThenSilenceAndChecksItsFormat) {
    test::TempDir dir;
    test::WriteIndexWav(dir.File("in.wav"), 8000, 1, 1000);
    NullAudio audio(dir.File("in.wav"), "");
    doneCount = 0;
    std::uint32_t h = 0;
    EXPECT_EQ(WaveOpen(WaveDir::In, 0, {2, 8000, 4, 16}, CountDone, 0, h), WaveResult::BadFormat);
    ASSERT_EQ(WaveOpen(WaveDir::In, 0, kMono8k, CountDone, 0, h), WaveResult::Ok);
    std::vector<std::uint8_t> a(1600, 0xEE), b(1600, 0xEE);
    WaveHeader ha, hb;
    ha.data = a.data();
    hb.data = b.data();
    ha.bufferLength = hb.bufferLength = 1600;
    WavePrepareHeader(h, ha);
    WavePrepareHeader(h, hb);
    WaveInAddBuffer(h, ha);
    WaveInAddBuffer(h, hb);
    EXPECT_EQ(WaveInStart(h), WaveResult::Ok);
    ASSERT_TRUE(WaitForDone(2));
    EXPECT_EQ(ha.bytesRecorded.load(), 1600u);
    EXPECT_EQ(hb.bytesRecorded.load(), 1600u);
    const std::vector<std::int16_t> first = Samples16(a), second = Samples16(b);
    for (int i = 0; i < 800; ++i) ASSERT_EQ(first[i], i + 1) << i;
    for (int i = 0; i < 200; ++i) ASSERT_EQ(second[i], 801 + i) << i;
    for (int i = 200; i < 800; ++i) ASSERT_EQ(second[i], 0) << i;  // past IN.wav: silence
    WaveReset(h);
    EXPECT_EQ(WaveClose(h), WaveResult::Ok);
}

TEST(NullWaveDevice, IsTheOnlyDeviceWhenChosen) {
    NullAudio audio("", "");
    EXPECT_EQ(WaveGetNumDevs(WaveDir::Out), 1u);
    EXPECT_EQ(WaveGetNumDevs(WaveDir::In), 1u);
    WaveCaps caps;
    EXPECT_FALSE(WaveGetDevCaps(WaveDir::Out, kWaveMapper, caps));
    ASSERT_TRUE(WaveGetDevCaps(WaveDir::Out, 0, caps));
    EXPECT_EQ(caps.productName, "Null Output");
    EXPECT_FALSE(WaveGetDevCaps(WaveDir::Out, 1, caps));
    std::uint32_t h = 0;
    EXPECT_EQ(WaveOpen(WaveDir::Out, 0, {1, 8000, 3, 24}, CountDone, 0, h), WaveResult::BadFormat);
    EXPECT_EQ(WaveOpen(WaveDir::Out, 5, kMono8k, CountDone, 0, h), WaveResult::BadDevice);
}

}  // namespace
}  // namespace pelmora::platform
