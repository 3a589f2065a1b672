#include <gtest/gtest.h>

#include "base/Error.h"
#include "platform/File.h"
#include "sound/AiffHeader.h"
#include "sound/SoundFileCheck.h"
#include "sound/AiffReader.h"
#include "support/TempDir.h"
#include "AiffTestFiles.h"

namespace pelmora {
namespace {

using test::AiffBuilder;

struct Opened {
    SoundInfo info;
    aiff::ReadResult result;
};

Opened ReadBytes(const test::TempDir& dir, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir.File("in.aif");
    test::WriteAll(path, bytes);
    platform::File file(path, platform::OpenMode::Read);
    Opened out;
    out.result = aiff::ReadIntoDocument(file, out.info);
    return out;
}

StringId ReadError(const test::TempDir& dir, const std::vector<std::uint8_t>& bytes) {
    try {
        ReadBytes(dir, bytes);
    } catch (const Error& e) {
        return e.Id();
    }
    return StringId::EmptyDiskSpace;  // stands for "no error"
}

std::vector<std::uint8_t> Frames(std::size_t n) { return std::vector<std::uint8_t>(n, 0x22); }

TEST(AiffReader, FormatDataOffsetAndFlags) {
    test::TempDir dir;
    const auto bytes = AiffBuilder().Comm(2, 10, 16, 44100).Ssnd(Frames(40), 4).Bytes();
    const Opened o = ReadBytes(dir, bytes);
    EXPECT_EQ(o.info.fileType, FileType::Aiff);
    EXPECT_EQ(o.info.channels, 2);
    EXPECT_EQ(o.info.bitsPerSample, 16);
    EXPECT_EQ(o.info.blockAlign, 4);
    EXPECT_EQ(o.info.sampleRate, 44100u);
    EXPECT_EQ(o.info.frames, 10u);
    EXPECT_EQ(o.info.dataOffset, 12u + 26 + 8 + 8 + 4);  // the SSND offset field counts
    EXPECT_EQ(o.info.dataEnd, o.info.dataOffset + 40);
    EXPECT_FALSE(o.info.littleEndian);
    EXPECT_FALSE(o.info.unsigned8Bit);
    EXPECT_FALSE(o.info.aiffHasInst);
    EXPECT_FALSE(o.info.loopOn);
    EXPECT_TRUE(o.result.hdMisaligned);  // data at 58: (512 − 58) mod 4 = 2
}

TEST(AiffReader, OddChunksEitherWay) {
    test::TempDir dir;
    // Our own layout: an odd pad COMT followed directly by the SSND header.
    const auto own = AiffBuilder()
                         .Comm(1, 4, 16, 8000)
                         .Chunk("COMT", std::vector<std::uint8_t>(5, 0), AiffBuilder::Pad::None)
                         .Ssnd(Frames(8))
                         .Bytes();
    EXPECT_EQ(ReadBytes(dir, own).info.dataOffset, 12u + 26 + 13 + 16);
    // The IFF layout: a pad byte after the odd chunk.
    const auto standard = AiffBuilder()
                              .Comm(1, 4, 16, 8000)
                              .Chunk("NAME", std::vector<std::uint8_t>(5, 'x'))
                              .Ssnd(Frames(8))
                              .Bytes();
    EXPECT_EQ(ReadBytes(dir, standard).info.dataOffset, 12u + 26 + 14 + 16);
    // An odd SSND (8-bit mono, odd frames) with INST and MARK after it, both layouts.
    for (auto pad : {AiffBuilder::Pad::None, AiffBuilder::Pad::Standard}) {
        const auto bytes = AiffBuilder()
                               .Comm(1, 5, 8, 8000)
                               .Ssnd(Frames(5), 0, pad)
                               .Mark({{1, 1, "a"}, {2, 4, "bc"}})
                               .Inst(1, 1, 2)
                               .Bytes();
        const Opened o = ReadBytes(dir, bytes);
        EXPECT_TRUE(o.info.aiffHasInst);
        EXPECT_TRUE(o.info.loopOn);
        EXPECT_EQ(o.info.loopStart, 1u);
        EXPECT_EQ(o.info.loopEnd, 4u);
    }
}

TEST(AiffReader, LoopAndInstrumentRules) {
    test::TempDir dir;
    auto read = [&](AiffBuilder b) { return ReadBytes(dir, b.Bytes()).info; };
    auto base = [] { return AiffBuilder().Comm(1, 100, 16, 44100).Ssnd(Frames(200)); };

    // Play mode 0 with valid markers: the points are read, the loop is off.
    SoundInfo off = read(base().Mark({{1, 10, "beg loop"}, {2, 50, "end loop"}}).Inst(0, 1, 2));
    EXPECT_FALSE(off.loopOn);
    EXPECT_EQ(off.loopStart, 10u);
    EXPECT_EQ(off.loopEnd, 50u);
    EXPECT_TRUE(off.aiffHasMark);

    // Begin not before end, or a missing marker: not taken.
    SoundInfo reversed = read(base().Mark({{1, 50, "x"}, {2, 10, "y"}}).Inst(1, 1, 2));
    EXPECT_FALSE(reversed.loopOn);
    EXPECT_EQ(reversed.loopEnd, 0u);
    SoundInfo missing = read(base().Mark({{1, 5, "x"}}).Inst(1, 1, 2));
    EXPECT_FALSE(missing.loopOn);
    SoundInfo noMark = read(base().Inst(1, 1, 2));
    EXPECT_FALSE(noMark.loopOn);

    // An end past the frames is clamped.
    SoundInfo clamped = read(base().Mark({{3, 90, "x"}, {7, 500, "y"}}).Inst(1, 3, 7));
    EXPECT_TRUE(clamped.loopOn);
    EXPECT_EQ(clamped.loopStart, 90u);
    EXPECT_EQ(clamped.loopEnd, 100u);

    // Instrument values out of range read as their defaults.
    SoundInfo wild = read(base().Inst(0, 0, 0, 200, 51));
    EXPECT_EQ(wild.instrument.unityNote, 60);
    EXPECT_EQ(wild.instrument.fineTune, 0);
    SoundInfo fine = read(base().Inst(0, 0, 0, 61, -50));
    EXPECT_EQ(fine.instrument.unityNote, 61);
    EXPECT_EQ(fine.instrument.fineTune, -50);
}

TEST(AiffReader, MalformedFilesFailWithReadError) {
    test::TempDir dir;
    const auto good = AiffBuilder().Comm(1, 4, 16, 8000).Ssnd(Frames(8)).Bytes();
    EXPECT_EQ(ReadError(dir, AiffBuilder().Comm(1, 4, 16, 8000).Bytes()), StringId::FileReadError);
    EXPECT_EQ(ReadError(dir, AiffBuilder().Ssnd(Frames(8)).Bytes()), StringId::FileReadError);
    EXPECT_EQ(ReadError(dir, AiffBuilder().Comm(0, 4, 16, 8000).Ssnd(Frames(8)).Bytes()),
              StringId::FileReadError);
    EXPECT_EQ(ReadError(dir, AiffBuilder().Comm(1, 4, 33, 8000).Ssnd(Frames(8)).Bytes()),
              StringId::FileReadError);
    // An SSND offset that points past its chunk.
    auto badOffset = good;
    StoreBE32(badOffset.data() + 12 + 26 + 8, 1000);
    EXPECT_EQ(ReadError(dir, badOffset), StringId::FileReadError);
    // A FORM size that stops before SSND: the rest is not part of the sound.
    EXPECT_EQ(ReadError(dir, AiffBuilder().Comm(1, 4, 16, 8000).Ssnd(Frames(8)).Bytes(30)),
              StringId::FileReadError);
    // Every truncation of a file with all chunks either reads or fails with the message.
    const auto full = AiffBuilder()
                          .Comm(2, 4, 16, 8000)
                          .Mark({{1, 0, "beg loop"}, {2, 3, "end loop"}})
                          .Inst(1, 1, 2)
                          .Ssnd(Frames(16))
                          .Bytes();
    for (std::size_t n = 0; n < full.size(); ++n) {
        const std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        const StringId id = ReadError(dir, cut);
        EXPECT_TRUE(id == StringId::FileReadError || id == StringId::EmptyDiskSpace) << n;
    }
    // A SSND cut short still gives the data position; the pre-open check decides on the length.
    const std::vector<std::uint8_t> shortData(full.begin(), full.end() - 6);
    EXPECT_EQ(ReadBytes(dir, shortData).info.frames, 4u);
}

TEST(AiffHeader, HeaderOnlyReaderAndPreOpenCheck) {
    test::TempDir dir;
    const std::string path = dir.File("h.aif");
    test::WriteAll(path, AiffBuilder()
                             .Comm(2, 6, 24, 96000)
                             .Mark({{4, 2, "a"}, {9, 5, "b"}})
                             .Inst(1, 4, 9)
                             .Ssnd(Frames(36))
                             .Bytes());
    const auto info = aiff::ReadHeader(path);
    EXPECT_EQ(info.bitsPerSample, 24);
    EXPECT_EQ(info.bytesPerSample, 3);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.blockAlign, 6);
    EXPECT_EQ(info.sampleRate, 96000u);
    EXPECT_EQ(info.frames, 6u);
    EXPECT_EQ(info.loopPlayMode, 1);
    EXPECT_EQ(info.loopStart, 2u);
    EXPECT_EQ(info.loopEnd, 5u);
    EXPECT_TRUE(info.foundComm && info.foundSsnd && info.foundInst && info.foundMark);
    EXPECT_NO_THROW(PreCheckSoundFile(path));

    // The header claims more data than the file holds.
    SoundHeader longer = ReadSoundHeader(path);
    longer.frames = 1000;
    EXPECT_THROW(CheckHeaderAgainstLength(longer), Error);
    test::WriteAll(path, AiffBuilder().Comm(1, 1, 16, 0).Ssnd(Frames(2)).Bytes());
    try {
        PreCheckSoundFile(path);
        ADD_FAILURE() << "rate 0 must fail";
    } catch (const Error& e) {
        EXPECT_EQ(e.Id(), StringId::AudioDataError);
    }
    test::WriteAll(path, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'});
    EXPECT_THROW(aiff::ReadHeader(path), Error);
    try {
        aiff::ReadHeader(dir.File("missing.aif"));
    } catch (const Error& e) {
        EXPECT_EQ(e.Id(), StringId::FileReadError);
    }
}

}  // namespace
}  // namespace pelmora
