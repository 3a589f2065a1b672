#include <gtest/gtest.h>

#include "base/BlockMoves.h"
#include "platform/File.h"
#include "sound/WavImageChunk.h"
#include "sound/WavReader.h"
#include "sound/WavUpdate.h"
#include "sound/WavWriter.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"
#include "WavTestFiles.h"

namespace pelmora {
namespace {

using test::LoopRec;
using test::WavBuilder;

struct Working {
    std::string path;
    platform::File file;
    SoundInfo info;
};

Working Open(const test::TempDir& dir, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    Working w;
    w.path = dir.File(name);
    test::WriteAll(w.path, bytes);
    w.file.Open(w.path, platform::OpenMode::ReadWrite);
    wav::ReadIntoDocument(w.file, w.info);
    return w;
}

SoundInfo ReadBack(const std::string& path) {
    platform::File file(path, platform::OpenMode::Read);
    SoundInfo info;
    wav::ReadIntoDocument(file, info);
    return info;
}

// What the edit engine does when the sound's length changes at its end: the trailing bytes
// follow the data end, new frames are written before them.
void ChangeLength(Working& w, std::uint32_t frames) {
    const std::uint64_t oldEnd = w.info.dataEnd;
    const std::uint64_t newEnd = w.info.dataOffset + std::uint64_t{frames} * w.info.blockAlign;
    const std::uint64_t trailing = w.info.workingFileLength - oldEnd;
    MoveBytesQuiet(w.file, oldEnd, newEnd, trailing);
    if (newEnd > oldEnd) {
        const std::vector<std::uint8_t> fresh(newEnd - oldEnd, 0x55);
        ASSERT_TRUE(w.file.WriteAt(oldEnd, fresh.data(), fresh.size()));
    }
    ASSERT_TRUE(w.file.SetSize(newEnd + trailing));
    w.info.frames = frames;
    w.info.workingFileLength = static_cast<std::uint32_t>(newEnd + trailing);
    w.info.dataEnd = static_cast<std::uint32_t>(newEnd);
}

void ExpectStandardLayout(const std::string& path, const std::vector<std::string>& ids) {
    const auto bytes = test::ReadAll(path);
    std::vector<std::string> seen;
    for (const auto& chunk : test::TopChunks(bytes)) seen.push_back(chunk.id);
    EXPECT_EQ(seen, ids) << path;
    EXPECT_EQ(LoadLE32(bytes.data() + 4), bytes.size() - 8) << path;
}

void ExpectLoopSeenByLibsndfile(const std::string& path, std::uint32_t start, std::uint32_t end) {
    const auto inst = test::SndfileInstrumentOf(path);
    ASSERT_TRUE(inst.has_value()) << path;
    ASSERT_FALSE(inst->loops.empty()) << path;
    EXPECT_EQ(inst->loops[0].start, start);
    EXPECT_EQ(inst->loops[0].end, end);
}

TEST(WavRefreshHeader, DataPadFollowsTheLengthAndTrailingChunksStayReadable) {
    test::TempDir dir;
    auto bytes = WavBuilder()
                     .Fmt(1, 8000, 8)
                     .Data(1000)
                     .Smpl(60, 0, {{10, 99, 0}})
                     .Inst({64, 0, 0, 0, 127, 1, 127})
                     .Build();
    Working w = Open(dir, "edit.wav", bytes);
    const std::vector<std::string> layout = {"fmt ", "data", "smpl", "inst"};

    for (std::uint32_t frames : {1001u, 1003u, 998u, 999u, 0u, 7u}) {
        ChangeLength(w, frames);
        wav::RefreshHeader(w.file, w.info);
        const auto after = test::ReadAll(w.path);
        EXPECT_EQ(w.info.workingFileLength, after.size()) << frames;
        EXPECT_EQ(w.info.dataEnd, w.info.dataOffset + frames);
        ExpectStandardLayout(w.path, layout);
        const auto view = test::ReadWithSndfile(w.path);
        ASSERT_TRUE(view.has_value());
        EXPECT_EQ(view->frames, frames);
        ASSERT_TRUE(test::ReadWithSox(w.path).has_value());
        ExpectLoopSeenByLibsndfile(w.path, 10, 100);
        SoundInfo back = ReadBack(w.path);
        EXPECT_EQ(back.frames, frames);
        EXPECT_EQ(back.instrument.unityNote, 64);
        EXPECT_EQ(back.workingFileLength, after.size());
    }
}

TEST(WavRefreshHeader, PartialFrameAndMissingPadAreDroppedAndFormatRewritten) {
    test::TempDir dir;
    // 16-bit data of 1001 bytes: 500 frames and one stray byte, no pad, then 'smpl'.
    auto bytes = WavBuilder()
                     .Fmt(1, 22050, 16, 1, 18)
                     .Data(1001, WavBuilder::Pad::None)
                     .Smpl(60, 0, {{1, 2, 0}})
                     .Build();
    Working w = Open(dir, "stray.wav", bytes);
    ASSERT_EQ(w.info.frames, 500u);
    w.info.sampleRate = 32000;
    wav::RefreshHeader(w.file, w.info);
    ExpectStandardLayout(w.path, {"fmt ", "data", "smpl"});
    const auto after = test::ReadAll(w.path);
    EXPECT_EQ(after.size(), bytes.size() - 1);
    EXPECT_EQ(LoadLE32(after.data() + 16), 18u);         // the longer 'fmt ' is kept
    EXPECT_EQ(LoadLE32(after.data() + 24), 32000u);
    EXPECT_EQ(LoadLE32(after.data() + 28), 64000u);
    ExpectLoopSeenByLibsndfile(w.path, 1, 3);

    // A missing 'data' chunk is a data error.
    Working plain = Open(dir, "plain.wav", WavBuilder().Fmt(1, 8000, 8).Data(4).Build());
    auto noData = WavBuilder().Fmt(1, 8000, 8).Build();
    ASSERT_TRUE(plain.file.WriteAt(0, noData.data(), noData.size()));
    ASSERT_TRUE(plain.file.SetSize(noData.size()));
    EXPECT_EQ(test::ErrorOf([&] { wav::RefreshHeader(plain.file, plain.info); }),
              StringId::DataError);
}

TEST(WavUpdateLoop, EmptyLoopRemovesAOneLoopChunkButKeepsSeveral) {
    test::TempDir dir;
    // A file of our own: 'inst' and 'smpl' before the data.
    SoundInfo made;
    made.channels = 2;
    made.bitsPerSample = 16;
    made.frames = 500;
    made.loopOn = true;
    made.loopStart = 10;
    made.loopEnd = 20;
    UpdateDerivedFormat(made);
    const std::string path = dir.File("own.wav");
    {
        platform::File file(path, platform::OpenMode::CreateNew);
        const std::uint32_t offset = wav::WriteNewHeader(file, made, 0);
        const auto data = WavBuilder::Pattern(DataBytes(made));
        ASSERT_TRUE(file.WriteAt(offset, data.data(), data.size()));
        wav::RefreshHeader(file, made);
    }
    const auto samples = test::SndfileSamples(path);
    {
        platform::File file(path, platform::OpenMode::ReadWrite);
        SoundInfo info;
        wav::ReadIntoDocument(file, info);
        info.loopStart = info.loopEnd = 0;
        info.loopOn = false;
        info.instrument.unityNote = 48;
        wav::UpdateLoopAndInstrument(file, info);
        EXPECT_FALSE(info.wavHasSmpl);
        EXPECT_EQ(info.dataOffset, 12u + 24u + 8u);
        EXPECT_EQ(info.workingFileLength, test::ReadAll(path).size());
    }
    ExpectStandardLayout(path, {"fmt ", "data", "inst"});
    EXPECT_EQ(test::SndfileSamples(path), samples);
    EXPECT_EQ(ReadBack(path).instrument.unityNote, 48);

    // Several loops: the chunk stays, the first loop is turned off, the others are untouched.
    Working w = Open(dir, "two.wav",
                     WavBuilder().Fmt(1, 8000, 8).Data(100).Smpl(60, 0, {{10, 19, 0, 5}, {30, 39, 0, 6}}).Build());
    w.info.loopStart = w.info.loopEnd = 0;
    w.info.loopOn = false;
    wav::UpdateLoopAndInstrument(w.file, w.info);
    ASSERT_EQ(w.info.wavSmplLoops.size(), 2u);
    EXPECT_EQ(w.info.wavSmplLoops[0].cuePointId, 5u);
    EXPECT_EQ(w.info.wavSmplLoops[0].playCount, 1u);
    EXPECT_EQ(w.info.wavSmplLoops[1], (WavLoopRecord{6, 0, 30, 39, 0, 0}));
    EXPECT_EQ(w.info.wavSmplHeader.manufacturer, 0x47u);
    SoundInfo back = ReadBack(w.path);
    EXPECT_FALSE(back.loopOn);
    EXPECT_EQ(back.wavSmplLoops, w.info.wavSmplLoops);

    // An odd-sized chunk goes with its pad byte.
    Working odd = Open(dir, "odd.wav",
                       WavBuilder().Fmt(1, 8000, 8).Smpl(60, 0, {{1, 2, 0}}, {}, {9}).Data(10).Build());
    odd.info.loopStart = odd.info.loopEnd = 0;
    wav::UpdateLoopAndInstrument(odd.file, odd.info);
    ExpectStandardLayout(odd.path, {"fmt ", "data", "inst"});
    EXPECT_EQ(ReadBack(odd.path).frames, 10u);
}

TEST(WavUpdateLoop, GrowsAChunkWithoutLoopRecordsWhateverItsSize) {
    test::TempDir dir;
    const std::vector<std::uint8_t> samplerData = {1, 2, 3, 4, 5, 6, 7, 8};
    for (bool withSamplerData : {false, true}) {
        auto bytes = WavBuilder()
                         .Fmt(1, 8000, 16)
                         .Smpl(60, 0, {}, {}, withSamplerData ? samplerData : std::vector<std::uint8_t>{})
                         .Data(400)
                         .Chunk("note", {'k', 'e', 'e', 'p'})
                         .Build();
        Working w = Open(dir, withSamplerData ? "grow8.wav" : "grow.wav", bytes);
        w.info.loopOn = true;
        w.info.loopStart = 50;
        w.info.loopEnd = 150;
        wav::UpdateLoopAndInstrument(w.file, w.info);
        ExpectStandardLayout(w.path, {"fmt ", "smpl", "data", "note", "inst"});

        const auto after = test::ReadAll(w.path);
        const auto chunks = test::TopChunks(after);
        EXPECT_EQ(chunks[1].size, 60u + (withSamplerData ? 8u : 0u));
        const std::uint8_t* smpl = after.data() + chunks[1].offset + 8;
        EXPECT_EQ(LoadLE32(smpl + 28), 1u);
        EXPECT_EQ(LoadLE32(smpl + 36 + 8), 50u);
        EXPECT_EQ(LoadLE32(smpl + 36 + 12), 149u);
        if (withSamplerData) {
            EXPECT_EQ(std::vector<std::uint8_t>(smpl + 60, smpl + 68), samplerData);
        }
        EXPECT_EQ(std::string(after.begin() + static_cast<long>(chunks[3].offset) + 8,
                              after.begin() + static_cast<long>(chunks[3].offset) + 12),
                  "keep");
        EXPECT_EQ(w.info.dataOffset, chunks[2].offset + 8);
        ExpectLoopSeenByLibsndfile(w.path, 50, 150);
        SoundInfo back = ReadBack(w.path);
        EXPECT_TRUE(back.loopOn);
        EXPECT_EQ(back.frames, 200u);
    }

    // A chunk shorter than its header cannot be updated.
    auto broken = WavBuilder().Fmt(1, 8000, 8).Data(4).Build();
    Working w = Open(dir, "broken.wav", broken);
    auto withShort = WavBuilder().Fmt(1, 8000, 8).Data(4).Chunk("smpl", std::vector<std::uint8_t>(20)).Build();
    ASSERT_TRUE(w.file.WriteAt(0, withShort.data(), withShort.size()));
    w.info.loopEnd = 2;
    EXPECT_EQ(test::ErrorOf([&] { wav::UpdateLoopAndInstrument(w.file, w.info); }),
              StringId::DataError);
}

TEST(WavUpdateLoop, NegativeFineTuneAndChunksAppendedAfterOddData) {
    test::TempDir dir;
    // An older file: odd 8-bit data last, no pad byte, no 'smpl' and no 'inst'.
    Working w = Open(dir, "tune.wav", WavBuilder().Fmt(1, 8000, 8).Data(301, WavBuilder::Pad::None).Build());
    w.info.loopOn = true;
    w.info.loopStart = 0;
    w.info.loopEnd = 301;
    w.info.instrument.unityNote = 60;
    w.info.instrument.fineTune = -30;
    wav::UpdateLoopAndInstrument(w.file, w.info);
    ExpectStandardLayout(w.path, {"fmt ", "data", "smpl", "inst"});

    // 'smpl' carries the note below and 70 cents; 'inst' the exact values, which win.
    EXPECT_EQ(w.info.wavSmplHeader.midiUnityNote, 59u);
    EXPECT_EQ((std::uint64_t{w.info.wavSmplHeader.midiPitchFraction} * 100) >> 32, 70u);
    const auto inst = test::SndfileInstrumentOf(w.path);
    ASSERT_TRUE(inst.has_value());
    EXPECT_EQ(inst->basenote, 59);
    ExpectLoopSeenByLibsndfile(w.path, 0, 301);
    SoundInfo back = ReadBack(w.path);
    EXPECT_EQ(back.instrument.unityNote, 60);
    EXPECT_EQ(back.instrument.fineTune, -30);

    // A reader of 'smpl' alone comes to the same pitch.
    auto onlySmpl = WavBuilder().Fmt(1, 8000, 8).Data(2).Smpl(59, w.info.wavSmplHeader.midiPitchFraction, {}).Build();
    EXPECT_EQ(Open(dir, "smplonly.wav", onlySmpl).info.instrument.fineTune, -30);

    // An older file whose odd data has chunks right after it gets its pad byte on save.
    Working old = Open(dir, "old.wav",
                       WavBuilder().Fmt(1, 8000, 8).Data(101, WavBuilder::Pad::None).Smpl(60, 0, {{5, 9, 0}}).Build());
    wav::UpdateLoopAndInstrument(old.file, old.info);
    ExpectStandardLayout(old.path, {"fmt ", "data", "smpl", "inst"});
    ExpectLoopSeenByLibsndfile(old.path, 5, 10);
}

TEST(WavImageChunk, ReplacesOnlyTheImageChunk) {
    test::TempDir dir;
    const std::vector<std::uint8_t> foreign = {'X', 'Y', 'Z', '1', 'W', 'F', 'r', 'm'};
    std::vector<std::uint8_t> oldImage = {'Q', 'M', 'S', '0', 'W', 'F', 'r', 'm', 7};  // odd
    auto bytes = WavBuilder()
                     .Fmt(2, 8000, 16)
                     .Chunk("Appl", oldImage)
                     .Data(40)
                     .Chunk("Appl", foreign)
                     .Smpl(60, 0, {{1, 4, 0}})
                     .Build();
    Working w = Open(dir, "image.wav", bytes);
    const auto found = wav::FindImageChunk(w.file);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->bodyOffset, 12u + 24u + 8u);
    EXPECT_EQ(found->bodySize, 9u);

    std::vector<std::uint8_t> image = {'Q', 'M', 'V', '0', 'W', 'F', 'r', 'm', 1, 2, 3};
    for (int round = 0; round < 2; ++round) {
        wav::StoreImageChunk(w.file, w.info, image);
        ExpectStandardLayout(w.path, {"fmt ", "data", "Appl", "smpl", "Appl"});
        const auto after = test::ReadAll(w.path);
        EXPECT_EQ(w.info.workingFileLength, after.size());
        EXPECT_EQ(w.info.dataOffset, 12u + 24u + 8u);
        const auto stored = wav::FindImageChunk(w.file);
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(stored->bodySize, image.size());
        EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + static_cast<long>(stored->bodyOffset),
                                            after.begin() + static_cast<long>(stored->bodyOffset + image.size())),
                  image);
        image.push_back(4);
    }
    const auto chunks = test::TopChunks(test::ReadAll(w.path));
    EXPECT_EQ(chunks[2].size, foreign.size());
    EXPECT_EQ(ReadBack(w.path).frames, 10u);
    ASSERT_TRUE(test::ReadWithSox(w.path).has_value());
    ExpectLoopSeenByLibsndfile(w.path, 1, 5);
}

// The pitch fraction is finer than the whole cents a document holds: a save that changes no
// tuning keeps it; a new tuning writes its own.
TEST(WavUpdateLoop, KeepsThePitchFractionWhileTheTuningStands) {
    test::TempDir dir;
    constexpr std::uint32_t kFraction = 301236121;  // 7.0137 cents
    struct Case {
        std::int8_t fineTune;
        std::uint32_t note, fraction;
    };
    const Case cases[] = {{7, 60, kFraction}, {8, 60, 343597384}, {-20, 59, 3435973837}};
    for (const Case& c : cases) {
        Working w = Open(dir, "tune" + std::to_string(c.fineTune) + ".wav",
                         WavBuilder().Fmt(1, 8000, 16).Smpl(60, kFraction, {{10, 19, 0}}).Data(100).Build());
        ASSERT_EQ(w.info.instrument.fineTune, 7);
        w.info.instrument.fineTune = c.fineTune;
        wav::UpdateLoopAndInstrument(w.file, w.info);
        EXPECT_EQ(w.info.wavSmplHeader.midiUnityNote, c.note) << int{c.fineTune};
        EXPECT_EQ(w.info.wavSmplHeader.midiPitchFraction, c.fraction) << int{c.fineTune};
    }
}

}  // namespace
}  // namespace pelmora
