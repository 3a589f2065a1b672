// The engine end to end on the null device in real time: what reaches OUT.wav, frame for frame,
// and what a recording writes into the document.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audio/TransportRules.h"
#include "document/DocumentTestBed.h"
#include "support/AudioFiles.h"

namespace pelmora::test {
namespace {

using Clock = std::chrono::steady_clock;

class EngineNullDevice : public DocumentTestBed {
protected:
    AudioEngine& Engine() {
        app.EnumerateDevices();
        return app.audio;
    }
    // Handles the engine's messages until it stops by itself; false after `seconds`.
    bool RunUntilIdle(double seconds) {
        const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
        while (app.audio.Active()) {
            if (Clock::now() > until) return false;
            if (app.audio.Messages().Wait(20)) app.audio.PumpMessages();
        }
        return true;
    }
    void RunFor(double seconds) {
        const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
        while (app.audio.Active() && Clock::now() < until)
            if (app.audio.Messages().Wait(20)) app.audio.PumpMessages();
    }
    COLMDoc& OpenIndexSound(std::uint32_t rate, int channels, std::uint32_t frames) {
        const std::string path = user + "/index.wav";
        WriteIndexWav(path, rate, channels, frames);
        return app.Open(path);
    }
    std::vector<std::uint8_t> Source() { return WavData(user + "/index.wav"); }
    std::string Out() const { return root.File("out.wav"); }
};

// What was played: the source, then silence, and nothing else.
void ExpectSourceThenSilence(const std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& source) {
    ASSERT_GE(out.size(), source.size());
    EXPECT_TRUE(std::equal(source.begin(), source.end(), out.begin()));
    EXPECT_TRUE(std::all_of(out.begin() + static_cast<std::ptrdiff_t>(source.size()), out.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST_F(EngineNullDevice, PlayedOutputIsTheSourceThenSilence) {
    NullAudio audio("", Out());
    COLMDoc& doc = OpenIndexSound(44100, 2, 30000);
    ASSERT_EQ(Engine().Play(doc), StartResult::Started);
    EXPECT_EQ(WhyRecordDisabled(app.audio, doc), std::string("the sound is playing"));
    EXPECT_TRUE(PlayPressed(app.audio, doc));
    ASSERT_TRUE(RunUntilIdle(3));
    EXPECT_EQ(doc.playCursor, 30000u);
    const std::vector<std::uint8_t> out = WavData(Out());
    ExpectSourceThenSilence(out, Source());
    // 88200-byte buffers at 44.1 kHz stereo: the second one (silence after 0.34 s) started too.
    EXPECT_EQ(out.size() % 88200, 0u);
}

TEST_F(EngineNullDevice, ShortSoundPlaysOnceInTheFirstBuffer) {
    NullAudio audio("", Out());
    COLMDoc& doc = OpenIndexSound(22050, 2, 2000);
    doc.playCursor = 2000;  // at the end: starts from 0
    ASSERT_EQ(Engine().Play(doc), StartResult::Started);
    ASSERT_TRUE(RunUntilIdle(3));
    const std::vector<std::uint8_t> out = WavData(Out());
    EXPECT_EQ(out.size(), 32768u);  // one buffer of 32768 bytes below 44.1 kHz
    ExpectSourceThenSilence(out, Source());
}

TEST_F(EngineNullDevice, LoopRepeatsExactlyTheLoopUntilLoopModeGoesOff) {
    NullAudio audio("", Out());
    COLMDoc& doc = OpenIndexSound(44100, 2, 22050);
    doc.Info().loopStart = 4410;
    doc.Info().loopEnd = 8820;
    Engine().SetLoopMode(doc, true);
    ASSERT_EQ(app.audio.Play(doc), StartResult::Started);
    RunFor(1.0);
    ASSERT_TRUE(app.audio.Active());
    app.audio.SetLoopMode(doc, false);
    ASSERT_TRUE(RunUntilIdle(4));  // the sound runs to its end and stops by itself
    const std::vector<std::int16_t> out = Samples16(WavData(Out()));
    // Frame index of each played frame (index + 1 in the first channel, 0 for silence).
    std::vector<std::uint32_t> played;
    for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
        if (out[i] == 0 && out[i + 1] == 0) break;
        played.push_back(static_cast<std::uint32_t>(out[i] - 1) + 30000u * static_cast<std::uint32_t>(out[i + 1] - 1));
    }
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played.front(), 0u);
    int passes = 0;
    for (std::size_t i = 1; i < played.size(); ++i) {
        if (played[i] == played[i - 1] + 1) continue;
        ASSERT_EQ(played[i - 1], 8819u) << i;  // only the loop end jumps, and only to the loop start
        ASSERT_EQ(played[i], 4410u) << i;
        ++passes;
    }
    EXPECT_GE(passes, 5);  // a second of a 0.1-second loop
    EXPECT_EQ(played.back(), 22049u);
    const std::size_t silenceFrom = played.size() * 2;
    EXPECT_TRUE(std::all_of(out.begin() + static_cast<std::ptrdiff_t>(silenceFrom), out.end(),
                            [](std::int16_t s) { return s == 0; }));
}

TEST_F(EngineNullDevice, RegionPlayOfTheRightChannelLeavesTheLeftSilent) {
    NullAudio audio("", Out());
    COLMDoc& doc = OpenIndexSound(44100, 2, 20000);
    doc.selectionStart = 1000;
    doc.selectionEnd = 9000;
    doc.Info().channelFirst = 1;
    doc.Info().channelEnd = 2;
    doc.playCursor = 123;
    ASSERT_EQ(Engine().RegionPlay(doc), StartResult::Started);
    EXPECT_EQ(WhyRewindDisabled(app.audio), std::string("the sound is playing its selection"));
    ASSERT_TRUE(RunUntilIdle(3));
    EXPECT_EQ(doc.playCursor, 123u);  // back where it was
    const std::vector<std::int16_t> out = Samples16(WavData(Out()));
    const std::vector<std::int16_t> source = Samples16(Source());
    ASSERT_GE(out.size(), 16000u);
    for (std::size_t f = 0; f < out.size() / 2; ++f) {
        ASSERT_EQ(out[2 * f], 0) << f;
        ASSERT_EQ(out[2 * f + 1], f < 8000 ? source[2 * (1000 + f) + 1] : 0) << f;
    }
}

TEST_F(EngineNullDevice, RecordingFromSecondEightWritesTheInputAndStopsAtTheEnd) {
    WriteIndexWav(root.File("in.wav"), 8000, 1, 24000, 7);
    NullAudio audio(root.File("in.wav"), "");
    const std::string path = user + "/ten.wav";
    WriteIndexWav(path, 8000, 1, 80000);
    COLMDoc& doc = app.Open(path);
    doc.playCursor = 64000;
    ASSERT_EQ(Engine().Record(doc), StartResult::Started);
    EXPECT_TRUE(RecordPressed(app.audio, doc));
    EXPECT_NE(WhyPlayDisabled(app.audio, doc, false), nullptr);
    // The interface thread does nothing for 1.2 seconds: nothing is lost.
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    ASSERT_TRUE(RunUntilIdle(4));
    EXPECT_EQ(doc.playCursor, 80000u);
    EXPECT_TRUE(app.audio.RecordPending(doc));
    EXPECT_TRUE(doc.DataChanged());
    EXPECT_FALSE(doc.Undo().Enabled());
    const std::vector<std::int16_t> after = Samples16(WavData(doc.WorkingPath()));
    const std::vector<std::int16_t> before = Samples16(WavData(path));
    ASSERT_EQ(after.size(), 80000u);
    for (std::size_t f = 0; f < 64000; ++f) ASSERT_EQ(after[f], before[f]) << f;
    for (std::size_t f = 0; f < 16000; ++f) ASSERT_EQ(after[64000 + f], static_cast<std::int16_t>(f % 30000 + 7)) << f;
    app.audio.SettleRecording(doc);
    EXPECT_FALSE(app.audio.RecordPending(doc));
}

TEST_F(EngineNullDevice, BlockedInterfaceThreadLosesNoPlayback) {
    NullAudio audio("", Out());
    COLMDoc& doc = OpenIndexSound(44100, 1, 88200);
    ASSERT_EQ(Engine().Play(doc), StartResult::Started);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    ASSERT_TRUE(RunUntilIdle(4));
    ExpectSourceThenSilence(WavData(Out()), Source());
}

TEST_F(EngineNullDevice, FailedStartLeavesPlayUsable) {
    COLMDoc& doc = OpenIndexSound(44100, 1, 4410);
    {
        NullAudio broken("", root.File("no/such/folder/out.wav"));
        ASSERT_EQ(Engine().Play(doc), StartResult::Failed);
    }
    EXPECT_EQ(app.audio.Active(), nullptr);
    EXPECT_EQ(app.audio.Block().state.load(), 0);
    EXPECT_EQ(WhyPlayDisabled(app.audio, doc, false), nullptr);
    {
        // An input whose format the device refuses: the message names the device.
        WriteIndexWav(root.File("stereo.wav"), 44100, 2, 100);
        NullAudio refusing(root.File("stereo.wav"), "");
        ASSERT_EQ(app.audio.Record(doc), StartResult::Failed);
        ASSERT_FALSE(prompter.messages.empty());
        EXPECT_EQ(prompter.messages.back(),
                  "The \"Null Input\" cannot playback because this file format( Rate, Size, Channels ) is not supported.");
    }
    NullAudio audio("", Out());
    ASSERT_EQ(app.audio.Play(doc), StartResult::Started);
    ASSERT_TRUE(RunUntilIdle(3));
    ExpectSourceThenSilence(WavData(Out()), Source());
}

TEST_F(EngineNullDevice, WideSamplesCannotPlayOrRecord) {
    const std::string path = MakeSound("wide.wav", "-r 8000 -b 24 -c 1", 0.1);
    COLMDoc& doc = app.Open(path);
    doc.selectionEnd = 100;
    EXPECT_STREQ(WhyPlayDisabled(Engine(), doc, false), "only 8- and 16-bit sounds can be played");
    EXPECT_STREQ(WhyRegionPlayDisabled(app.audio, doc, false), "only 8- and 16-bit sounds can be played");
    EXPECT_STREQ(WhyRecordDisabled(app.audio, doc), "only 8- and 16-bit sounds can be recorded");
}

TEST(SoundDevices, SavedIdsSelectTheLastMatchOrLeaveTheFirst) {
    auto device = [](std::uint32_t id, std::uint16_t mid, std::uint16_t pid) {
        SoundDevice d;
        d.id = id;
        d.caps.mid = mid;
        d.caps.pid = pid;
        return d;
    };
    const std::vector<SoundDevice> list = {device(platform::kWaveMapper, 1, 1), device(0, 5, 6), device(1, 5, 6),
                                           device(2, 7, 8)};
    struct Case {
        int mid, pid;
        std::uint32_t selected;
    } cases[] = {
        {-1, -1, platform::kWaveMapper},  // nothing saved
        {5, 6, 1},                        // two match: the last wins
        {7, 8, 2},
        {9, 9, platform::kWaveMapper},    // saved device absent
        {0x10005, 0x20006, 1},            // only the low 16 bits count
    };
    for (const Case& c : cases) EXPECT_EQ(SelectBySavedIds(list, c.mid, c.pid), c.selected) << c.mid;
    EXPECT_EQ(SelectBySavedIds({}, 5, 6), 0u);
}

TEST(SoundDevices, NullDevicesAloneWhenChosenAndTheirIdsWrittenBack) {
    NullAudio audio("", "");
    SoundDevices devices;
    devices.Enumerate({1, 2, 3, 4});  // saved ids of absent devices
    ASSERT_EQ(devices.Inputs().size(), 1u);
    ASSERT_EQ(devices.Outputs().size(), 1u);
    EXPECT_EQ(devices.OutputName(), "Null Output");
    EXPECT_FALSE(devices.NoDevice());
    const DeviceIdPairs ids = devices.SelectedIds();
    EXPECT_EQ(ids.outMid, devices.Outputs()[0].caps.mid);
    EXPECT_EQ(ids.inPid, devices.Inputs()[0].caps.pid);
}

}  // namespace
}  // namespace pelmora::test
