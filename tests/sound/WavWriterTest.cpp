#include <gtest/gtest.h>

#include "platform/File.h"
#include "sound/AiffMarkers.h"
#include "sound/WavReader.h"
#include "sound/WavUpdate.h"
#include "sound/WavWriter.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"
#include "WavTestFiles.h"

namespace pelmora {
namespace {

SoundInfo Sound(std::uint16_t channels, std::uint16_t bits, std::uint32_t rate, std::uint32_t frames) {
    SoundInfo info;
    info.channels = channels;
    info.bitsPerSample = bits;
    info.sampleRate = rate;
    info.frames = frames;
    UpdateDerivedFormat(info);
    return info;
}

// A new file as the program makes one: header, then the data appended, then the refresh.
std::string WriteNewWav(const test::TempDir& dir, const std::string& name, SoundInfo& info) {
    const std::string path = dir.File(name);
    platform::File file(path, platform::OpenMode::CreateNew);
    const std::uint32_t offset = wav::WriteNewHeader(file, info, 0);
    const auto data = test::WavBuilder::Pattern(DataBytes(info));
    EXPECT_TRUE(file.WriteAt(offset, data.data(), data.size()));
    wav::RefreshHeader(file, info);
    EXPECT_EQ(info.dataOffset, offset);
    return path;
}

SoundInfo ReadBack(const std::string& path) {
    platform::File file(path, platform::OpenMode::Read);
    SoundInfo info;
    wav::ReadIntoDocument(file, info);
    return info;
}

TEST(WavWriter, NewFilesReadBackByOtherPrograms) {
    test::TempDir dir;
    struct Format {
        std::uint16_t channels, bits;
        std::uint32_t rate, frames;
    };
    // Odd frame counts of 8- and 24-bit mono give odd data sizes.
    for (const Format f : {Format{1, 8, 8000, 1001}, Format{2, 16, 44100, 2000},
                           Format{1, 24, 48000, 999}, Format{2, 32, 96000, 300}}) {
        SoundInfo info = Sound(f.channels, f.bits, f.rate, f.frames);
        const std::string name = "new" + std::to_string(f.bits) + ".wav";
        const std::string path = WriteNewWav(dir, name, info);
        const auto bytes = test::ReadAll(path);
        EXPECT_EQ(bytes.size() % 2, 0u) << name;
        EXPECT_EQ(info.workingFileLength, bytes.size());
        EXPECT_EQ(info.dataEnd, info.dataOffset + DataBytes(info));
        EXPECT_EQ(LoadLE32(bytes.data() + 4), bytes.size() - 8);

        for (const auto& view : {test::ReadWithSndfile(path), test::ReadWithSox(path)}) {
            ASSERT_TRUE(view.has_value()) << name;
            EXPECT_EQ(view->rate, static_cast<int>(f.rate)) << name;
            EXPECT_EQ(view->channels, f.channels) << name;
            EXPECT_EQ(view->bits, f.bits) << name;
            EXPECT_EQ(view->frames, f.frames) << name;
        }
        SoundInfo back = ReadBack(path);
        EXPECT_EQ(back.frames, f.frames);
        EXPECT_EQ(back.dataOffset, info.dataOffset);
    }

    // The samples arrive as written: 16-bit little-endian, scaled up by libsndfile.
    SoundInfo info = Sound(1, 16, 8000, 4);
    const std::string path = WriteNewWav(dir, "samples.wav", info);
    const auto pattern = test::WavBuilder::Pattern(8);
    const auto samples = test::SndfileSamples(path);
    ASSERT_EQ(samples.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const auto value = static_cast<std::int16_t>(pattern[2 * i] | (pattern[2 * i + 1] << 8));
        EXPECT_EQ(samples[i], value * 65536);
    }
}

TEST(WavWriter, HeaderLayoutAndBlockAlign) {
    test::TempDir dir;
    SoundInfo info = Sound(2, 4, 22050, 0);  // 4-bit samples still take a byte each
    info.instrument = WavInstrument{72, 12, 20, 90, 10, 110, -6};
    platform::File file(dir.File("layout.wav"), platform::OpenMode::CreateNew);
    EXPECT_EQ(wav::WriteNewHeader(file, info, 0), 12u + 24u + 16u + 8u);
    const auto bytes = test::ReadAll(file.Path());
    ASSERT_EQ(bytes.size(), 60u);
    EXPECT_EQ(LoadLE32(bytes.data() + 4), 0u);   // sizes stay 0 until the refresh
    EXPECT_EQ(LoadLE32(bytes.data() + 56), 0u);
    EXPECT_EQ(LoadLE16(bytes.data() + 20), 1);   // PCM
    EXPECT_EQ(LoadLE16(bytes.data() + 32), 2);   // block align
    EXPECT_EQ(LoadLE32(bytes.data() + 28), 2u * 22050u);
    // 'inst': the standard 7 bytes and a pad byte, fields in file order.
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "inst");
    EXPECT_EQ(LoadLE32(bytes.data() + 40), 7u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 44, bytes.begin() + 52),
              (std::vector<std::uint8_t>{72, 12, 0xFA, 20, 90, 10, 110, 0}));
    EXPECT_EQ(std::string(bytes.begin() + 52, bytes.begin() + 56), "data");

    // The channel override replaces the count in 'fmt ' only.
    SoundInfo stereo = Sound(2, 16, 44100, 0);
    platform::File one(dir.File("one.wav"), platform::OpenMode::CreateNew);
    wav::WriteNewHeader(one, stereo, 1);
    const auto oneBytes = test::ReadAll(one.Path());
    EXPECT_EQ(LoadLE16(oneBytes.data() + 22), 1);
    EXPECT_EQ(LoadLE16(oneBytes.data() + 32), 2);
    EXPECT_EQ(stereo.channels, 2);
}

TEST(WavWriter, LoopAndTuningReadByLibsndfile) {
    test::TempDir dir;
    struct Case {
        bool on;
        std::int8_t fine;
        int basenote;  // as 'smpl' carries it
    };
    for (const Case c : {Case{true, 0, 60}, Case{false, 25, 60}, Case{true, -30, 59}}) {
        SoundInfo info = Sound(1, 16, 44100, 1000);
        info.loopOn = c.on;
        info.loopStart = 100;
        info.loopEnd = 900;
        info.instrument.fineTune = c.fine;
        const std::string path = WriteNewWav(dir, "loop" + std::to_string(c.fine) + ".wav", info);
        EXPECT_TRUE(info.wavHasSmpl);
        EXPECT_EQ(info.wavSmplLoops.size(), 1u);

        const auto inst = test::SndfileInstrumentOf(path);
        ASSERT_TRUE(inst.has_value());
        EXPECT_EQ(inst->basenote, c.basenote);
        ASSERT_EQ(inst->loops.size(), 1u);
        EXPECT_EQ(inst->loops[0].start, 100u);
        EXPECT_EQ(inst->loops[0].end, 900u);
        EXPECT_EQ(inst->loops[0].count, c.on ? 0u : 1u);

        // Our reader prefers 'inst', which keeps the exact note and fine tune.
        SoundInfo back = ReadBack(path);
        EXPECT_EQ(back.loopOn, c.on);
        EXPECT_EQ(back.loopStart, 100u);
        EXPECT_EQ(back.loopEnd, 900u);
        EXPECT_EQ(back.instrument.unityNote, 60);
        EXPECT_EQ(back.instrument.fineTune, c.fine);
    }

    // No loop range, no 'smpl'.
    SoundInfo plain = Sound(1, 16, 44100, 10);
    const std::string path = WriteNewWav(dir, "plain.wav", plain);
    for (const auto& chunk : test::TopChunks(test::ReadAll(path))) EXPECT_NE(chunk.id, "smpl");
}

TEST(WavWriter, AiffMarkersBecomeCuePointsExceptTheSustainLoop) {
    test::TempDir dir;
    SoundInfo info = Sound(1, 16, 44100, 1000);
    info.aiffHasMark = true;
    info.aiffMarkBody = BuildMarkBody({{1, 10, "start"}, {2, 100, "loop begin"},
                                       {3, 200, "loop end"}, {7, 500, "hit"}});
    info.aiffHasInst = true;
    StoreBE16(info.aiffInstBody.data() + 8, 1);   // sustain play mode
    StoreBE16(info.aiffInstBody.data() + 10, 2);  // begin marker id
    StoreBE16(info.aiffInstBody.data() + 12, 3);  // end marker id
    const std::string path = WriteNewWav(dir, "cues.wav", info);
    EXPECT_FALSE(info.aiffHasMark);
    EXPECT_FALSE(info.aiffHasInst);
    EXPECT_TRUE(info.aiffMarkBody.empty());

    const auto bytes = test::ReadAll(path);
    const auto chunks = test::TopChunks(bytes);
    ASSERT_EQ(chunks.size(), 5u);
    EXPECT_EQ(chunks[2].id, "cue ");
    EXPECT_EQ(chunks[3].id, "LIST");
    EXPECT_EQ(chunks[4].id, "data");

    const std::uint8_t* cue = bytes.data() + chunks[2].offset + 8;
    ASSERT_EQ(LoadLE32(cue), 2u);
    const std::uint32_t positions[] = {10, 500};
    for (std::uint32_t i = 0; i < 2; ++i) {
        const std::uint8_t* p = cue + 4 + 24 * i;
        EXPECT_EQ(LoadLE32(p), i + 1);
        EXPECT_EQ(LoadLE32(p + 4), positions[i]);
        EXPECT_EQ(std::string(p + 8, p + 12), "data");
        EXPECT_EQ(LoadLE32(p + 20), positions[i]);
    }
    const std::uint8_t* list = bytes.data() + chunks[3].offset + 8;
    EXPECT_EQ(std::string(list, list + 4), "adtl");
    EXPECT_EQ(std::string(list + 4, list + 8), "labl");
    EXPECT_EQ(LoadLE32(list + 8), 4u + 6u);
    EXPECT_EQ(LoadLE32(list + 12), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(list + 16)), "start");
    EXPECT_EQ(std::string(list + 22, list + 26), "labl");  // "start\0" is even: no pad
    EXPECT_EQ(LoadLE32(list + 30), 2u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(list + 34)), "hit");

    ASSERT_TRUE(test::ReadWithSndfile(path).has_value());
    ASSERT_TRUE(test::ReadWithSox(path).has_value());
    EXPECT_EQ(ReadBack(path).frames, 1000u);
}

}  // namespace
}  // namespace pelmora
