// The played stream against a model written from the rules alone: frame by frame, the stream
// runs on, wraps at the loop end while loop mode holds it, and turns to silence at its end.
// Random sounds, loops, buffer sizes, loop mode switches and loop moves; every buffer's bytes and
// the source frame its record gives for each of its frames are compared with the model.

#include <gtest/gtest.h>

#include <random>

#include "audio/PlayStream.h"
#include "platform/File.h"
#include "support/AudioFiles.h"
#include "support/TempDir.h"

namespace pelmora {
namespace {

constexpr std::uint32_t kSilence = 0xFFFFFFFFu;

struct StreamModel {
    std::uint32_t frames = 0;
    std::int64_t pos = 0;  // −1 at the end
    std::uint32_t end = 0;
    std::uint32_t loopStart = 0, loopEnd = 0;

    bool Looping(bool mode) const {
        return mode && loopStart < loopEnd && end == loopEnd && pos >= 0 && pos <= loopEnd;
    }
    void Start(std::uint32_t frame, bool mode, std::uint32_t s, std::uint32_t e) {
        pos = frame;
        loopStart = s;
        loopEnd = e;
        end = mode && s < e && frame < e ? e : frames;
        if (frame >= frames) pos = -1;
    }
    // Loop mode on, or a loop moved while it is on: the loop is taken; the stream ends at its end
    // unless it is already past it.
    void Take(std::uint32_t s, std::uint32_t e) {
        loopStart = s;
        loopEnd = e;
        end = s < e && pos >= 0 && pos <= e ? e : frames;
    }
    std::uint32_t Next(bool mode) {
        if (pos < 0) return kSilence;
        const bool looping = Looping(mode);
        if (looping && pos == loopEnd) pos = loopStart;
        const auto frame = static_cast<std::uint32_t>(pos++);
        if (!looping && pos >= end) pos = -1;
        return frame;
    }
};

TEST(PlayStreamModel, RandomRunsMatchTheModelFrameForFrame) {
    test::TempDir dir;
    std::mt19937 rng(20261209);
    auto pick = [&rng](std::uint32_t lo, std::uint32_t hi) { return std::uniform_int_distribution<std::uint32_t>(lo, hi)(rng); };
    for (int run = 0; run < 300; ++run) {
        const std::uint32_t frames = pick(1, 3000);
        const std::string path = dir.File("s" + std::to_string(run % 4) + ".wav");
        test::WriteIndexWav(path, 8000, 1, frames, 0);
        platform::File file(path, platform::OpenMode::Read);
        ASSERT_TRUE(file.IsOpen());
        const StreamLayout layout{44, 2, 16, frames, false};
        const std::uint32_t capacity = 2 * pick(1, 700);
        LoopNow loop{pick(0, 1) == 1, pick(0, frames), 0};
        loop.end = pick(loop.start, std::min(frames, loop.start + pick(0, 400)));
        const std::uint32_t startFrame = pick(0, frames - 1);
        PlayStream stream;
        stream.StartPlay(layout, startFrame, loop);
        StreamModel model{frames};
        model.Start(startFrame, loop.mode, loop.start, loop.end);
        std::vector<std::uint8_t> buffer(capacity);
        for (int b = 0; b < 12; ++b) {
            switch (pick(0, 7)) {
            case 0:  // loop mode off during play
                loop.mode = false;
                stream.LoopModeOff();
                model.end = frames;
                break;
            case 1:  // loop mode on during play
                if (!loop.mode) {
                    loop.mode = true;
                    const std::uint32_t cursor = model.pos < 0 ? frames : static_cast<std::uint32_t>(model.pos);
                    if (stream.LoopModeOn(loop, cursor, startFrame)) {
                        stream.StartPlay(layout, loop.start, loop);
                        model.Start(loop.start, true, loop.start, loop.end);
                    } else {
                        model.Take(loop.start, loop.end);
                    }
                }
                break;
            case 2:  // the loop moves; taken at the next fill while loop mode is on
                loop.start = pick(0, frames);
                loop.end = pick(loop.start, frames);
                break;
            default: break;
            }
            if (loop.mode && (loop.start != model.loopStart || loop.end != model.loopEnd) && model.pos >= 0)
                model.Take(loop.start, loop.end);
            BufferRecord record;
            ASSERT_TRUE(stream.Fill(file, buffer.data(), capacity, record, loop));
            ASSERT_EQ(record.frames, capacity / 2);
            for (std::uint32_t k = 0; k < capacity / 2; ++k) {
                const std::uint32_t want = model.Next(loop.mode);
                const auto got = static_cast<std::uint16_t>(buffer[2 * k] | (buffer[2 * k + 1] << 8));
                const std::uint32_t source = record.SourceAt(k);
                if (want == kSilence) {
                    ASSERT_EQ(got, 0) << "run " << run << " buffer " << b << " frame " << k;
                    ASSERT_GE(source, model.end) << "run " << run << " buffer " << b << " frame " << k;
                } else {
                    ASSERT_EQ(got, want % 30000) << "run " << run << " buffer " << b << " frame " << k;
                    ASSERT_EQ(source, want) << "run " << run << " buffer " << b << " frame " << k;
                }
            }
        }
    }
}

TEST(PlayStream, RegionPlayNeverLoopsAndEndsAtTheSelectionEnd) {
    test::TempDir dir;
    test::WriteIndexWav(dir.File("r.wav"), 8000, 1, 1000, 0);
    platform::File file(dir.File("r.wav"), platform::OpenMode::Read);
    PlayStream stream;
    stream.StartRegion({44, 2, 16, 1000, false}, 100, 130);
    std::vector<std::uint8_t> buffer(100);
    BufferRecord record;
    ASSERT_TRUE(stream.Fill(file, buffer.data(), 100, record, {true, 110, 120}));
    EXPECT_TRUE(stream.Ended());
    EXPECT_EQ(record.SourceAt(0), 100u);
    EXPECT_EQ(record.SourceAt(29), 129u);
    EXPECT_EQ(record.SourceAt(30), 130u);  // silence stands for the end
    EXPECT_EQ(buffer[60], 0);
}

TEST(PlayStream, ShortSoundFillsTheFirstBufferAndSilenceAfter) {
    test::TempDir dir;
    test::WriteIndexWav(dir.File("s.wav"), 8000, 1, 10, 0);
    platform::File file(dir.File("s.wav"), platform::OpenMode::Read);
    PlayStream stream;
    // A zero-length loop never plays as a loop.
    stream.StartPlay({44, 2, 16, 10, false}, 0, {true, 5, 5});
    std::vector<std::uint8_t> buffer(64, 0xAA);
    BufferRecord record;
    ASSERT_TRUE(stream.Fill(file, buffer.data(), 64, record, {true, 5, 5}));
    EXPECT_EQ(buffer[18], 9);
    EXPECT_EQ(buffer[20], 0);
    EXPECT_TRUE(stream.Ended());
    ASSERT_TRUE(stream.Fill(file, buffer.data(), 64, record, {true, 5, 5}));
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0), 64);
}

TEST(PlayStream, AiffBytesTurnIntoDeviceOrder) {
    std::uint8_t eight[] = {0x00, 0x7F, 0x80, 0xFF};
    ConvertAiffBytes(eight, 4, 8);
    EXPECT_EQ(std::vector<std::uint8_t>(eight, eight + 4), (std::vector<std::uint8_t>{0x80, 0xFF, 0x00, 0x7F}));
    std::uint8_t sixteen[] = {0x12, 0x34, 0xAB, 0xCD};
    ConvertAiffBytes(sixteen, 4, 16);
    EXPECT_EQ(std::vector<std::uint8_t>(sixteen, sixteen + 4), (std::vector<std::uint8_t>{0x34, 0x12, 0xCD, 0xAB}));
}

}  // namespace
}  // namespace pelmora
