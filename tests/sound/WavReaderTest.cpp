#include <gtest/gtest.h>

#include "base/Error.h"
#include "platform/File.h"
#include "sound/WavHeader.h"
#include "sound/WavReader.h"
#include "support/TempDir.h"
#include "WavTestFiles.h"

namespace pelmora {
namespace {

using test::LoopRec;
using test::WavBuilder;

SoundInfo ReadBytes(const test::TempDir& dir, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir.File("in.wav");
    test::WriteAll(path, bytes);
    platform::File file(path, platform::OpenMode::Read);
    SoundInfo info;
    info.loopOn = true;  // stale values of an earlier read must not survive
    info.wavHasInst = true;
    wav::ReadIntoDocument(file, info);
    return info;
}

StringId DocumentError(const test::TempDir& dir, const std::vector<std::uint8_t>& bytes) {
    return test::ErrorOf([&] { ReadBytes(dir, bytes); });
}

StringId HeaderError(const test::TempDir& dir, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir.File("head.wav");
    test::WriteAll(path, bytes);
    return test::ErrorOf([&] { wav::ReadHeader(path); });
}

TEST(WavReader, FormatDataAndDefaults) {
    test::TempDir dir;
    // An 18-byte 'fmt ' after an unknown chunk; data with a partial last frame.
    auto bytes = WavBuilder().Chunk("JUNK", {0, 0, 0}).Fmt(2, 44100, 16, 1, 18).Data(4002).Build();
    SoundInfo info = ReadBytes(dir, bytes);
    EXPECT_EQ(info.fileType, FileType::Wav);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.bitsPerSample, 16);
    EXPECT_EQ(info.sampleRate, 44100u);
    EXPECT_EQ(info.blockAlign, 4);
    EXPECT_EQ(info.dataOffset, 12u + 12u + 26u + 8u);
    EXPECT_EQ(info.frames, 1000u);
    EXPECT_EQ(info.dataEnd, info.dataOffset + 4000u);
    EXPECT_EQ(info.workingFileLength, bytes.size());
    EXPECT_TRUE(info.littleEndian);
    EXPECT_FALSE(info.unsigned8Bit);
    EXPECT_FALSE(info.loopOn);
    EXPECT_EQ(info.loopStart, 0u);
    EXPECT_EQ(info.loopEnd, 0u);
    EXPECT_FALSE(info.wavHasInst);
    EXPECT_FALSE(info.wavHasSmpl);
    EXPECT_EQ(info.instrument, WavInstrument{});

    // 12 bits take two bytes; 8 bits are unsigned.
    SoundInfo twelve = ReadBytes(dir, WavBuilder().Fmt(1, 8000, 12).Data(10).Build());
    EXPECT_EQ(twelve.bytesPerSample, 2);
    EXPECT_EQ(twelve.frames, 5u);
    SoundInfo eight = ReadBytes(dir, WavBuilder().Fmt(1, 8000, 8).Data(7).Build());
    EXPECT_TRUE(eight.unsigned8Bit);
    EXPECT_EQ(eight.frames, 7u);

    // A file cut short inside the data opens with the frames it still holds.
    auto cut = WavBuilder().Fmt(1, 8000, 16).Data(100).Build();
    cut.resize(cut.size() - 51);
    SoundInfo shortened = ReadBytes(dir, cut);
    EXPECT_EQ(shortened.frames, 24u);
}

TEST(WavReader, FailuresGiveTheMessagesOfEachReader) {
    test::TempDir dir;
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        StringId document;
        StringId header;
    };
    const StringId ok = StringId::FileNotFound;
    auto notWave = WavBuilder().Fmt(1, 8000, 16).Data(4).Build();
    notWave[8] = 'X';
    const std::vector<Case> cases = {
        {"not WAVE", notWave, StringId::DataError, StringId::AudioDataError},
        {"no fmt", WavBuilder().Data(4).Build(), StringId::DataError, StringId::AudioDataError},
        {"short fmt", WavBuilder().Fmt(1, 8000, 16, 1, 14).Data(4).Build(), StringId::FileReadError,
         StringId::FileReadError},
        {"float", WavBuilder().Fmt(1, 8000, 32, 3).Data(4).Build(), StringId::UnknownWavePcmFormat,
         StringId::UnknownWavePcmFormat},
        // The header check says why an extensible header cannot be opened: this one is cut short.
        {"extensible", WavBuilder().Fmt(2, 8000, 16, 0xFFFE).Data(4).Build(),
         StringId::UnknownWavePcmFormat, StringId::ExtensibleShortRefused},
        {"no channels", WavBuilder().Fmt(0, 8000, 16).Data(4).Build(),
         StringId::UnknownWavePcmFormat, StringId::UnknownWavePcmFormat},
        {"no bits", WavBuilder().Fmt(1, 8000, 0).Data(4).Build(), StringId::UnknownWavePcmFormat,
         StringId::UnknownWavePcmFormat},
        {"data before fmt", WavBuilder().Data(4).Fmt(1, 8000, 16).Build(), StringId::DataError,
         StringId::AudioDataError},
        {"no data", WavBuilder().Fmt(1, 8000, 16).Build(), StringId::DataError,
         StringId::AudioDataError},
        {"short smpl", WavBuilder().Fmt(1, 8000, 16).Data(4).Chunk("smpl", std::vector<std::uint8_t>(20)).Build(),
         StringId::DataError, ok},
        {"short inst", WavBuilder().Fmt(1, 8000, 16).Data(4).Inst({60, 0, 0, 0, 127, 1}).Build(),
         StringId::DataError, ok},
        {"empty", {}, StringId::DataError, StringId::AudioDataError},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DocumentError(dir, c.bytes), c.document) << c.what;
        EXPECT_EQ(HeaderError(dir, c.bytes), c.header) << c.what;
    }
    EXPECT_EQ(test::ErrorOf([&] { wav::ReadHeader(dir.File("missing.wav")); }),
              StringId::FileReadError);
}

TEST(WavReader, EveryTruncationGivesAMessageOrAHeldLength) {
    test::TempDir dir;
    const auto whole = WavBuilder()
                           .Fmt(2, 22050, 24)
                           .Inst({62, 5, 0, 0, 127, 1, 127})
                           .Smpl(60, 0, {{10, 99, 0}, {5, 6, 1}})
                           .Data(60)
                           .Chunk("Appl", {'Q', 'M', 'V', '0', 'W', 'F', 'r', 'm'})
                           .Build();
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(n));
        try {
            SoundInfo info = ReadBytes(dir, part);
            EXPECT_LE(info.dataEnd, n);
            EXPECT_LE(info.loopEnd, info.frames);
            EXPECT_LE(info.loopStart, info.loopEnd);
        } catch (const Error& e) {
            EXPECT_TRUE(e.Id() == StringId::DataError || e.Id() == StringId::FileReadError)
                << n << ": " << e.Message();
        }
    }
}

TEST(WavReader, LoopFromTheFirstRecord) {
    test::TempDir dir;
    auto withLoop = [](std::vector<LoopRec> loops, std::optional<std::uint32_t> count = {}) {
        return WavBuilder().Fmt(1, 44100, 16).Data(2000).Smpl(60, 0, loops, count).Build();
    };
    SoundInfo on = ReadBytes(dir, withLoop({{100, 199, 0}, {7, 8, 1}}));
    EXPECT_TRUE(on.loopOn);
    EXPECT_EQ(on.loopStart, 100u);
    EXPECT_EQ(on.loopEnd, 200u);
    EXPECT_TRUE(on.wavHasSmpl);
    EXPECT_EQ(on.wavSmplLoops.size(), 2u);
    EXPECT_EQ(on.wavSmplHeader.manufacturer, 0x47u);
    EXPECT_EQ(on.wavFirstLoop, (WavSampleLoop{1, 0, 100, 200}));

    SoundInfo once = ReadBytes(dir, withLoop({{100, 199, 1}}));
    EXPECT_FALSE(once.loopOn);
    EXPECT_EQ(once.loopStart, 100u);
    EXPECT_EQ(once.loopEnd, 200u);
    EXPECT_EQ(once.wavFirstLoop.looping, 0u);

    // start = end + 1 is an empty loop, off whatever the play count says.
    SoundInfo empty = ReadBytes(dir, withLoop({{100, 99, 0}}));
    EXPECT_FALSE(empty.loopOn);
    EXPECT_EQ(empty.loopStart, 100u);
    EXPECT_EQ(empty.loopEnd, 100u);

    // Clamped to the 1000 frames; a start beyond the end resets the loop to the whole sound.
    SoundInfo past = ReadBytes(dir, withLoop({{900, 5000, 0}}));
    EXPECT_EQ(past.loopStart, 900u);
    EXPECT_EQ(past.loopEnd, 1000u);
    SoundInfo reversed = ReadBytes(dir, withLoop({{700, 299, 0}}));
    EXPECT_EQ(reversed.loopStart, 0u);
    EXPECT_EQ(reversed.loopEnd, 1000u);

    // No loop records: present, no loop.
    SoundInfo none = ReadBytes(dir, withLoop({}));
    EXPECT_TRUE(none.wavHasSmpl);
    EXPECT_FALSE(none.loopOn);
    EXPECT_EQ(none.wavFirstLoop.playCount, 1u);

    // A count beyond what the chunk holds takes only the records that are there.
    SoundInfo bounded = ReadBytes(dir, withLoop({{10, 19, 0}}, 0xFFFFFFFFu));
    EXPECT_EQ(bounded.wavSmplLoops.size(), 1u);
    EXPECT_TRUE(bounded.loopOn);
    SoundInfo claimed = ReadBytes(dir, withLoop({}, 3));
    EXPECT_TRUE(claimed.wavSmplLoops.empty());
    EXPECT_FALSE(claimed.loopOn);
}

TEST(WavReader, InstrumentFieldsAndTheSmplTuningRule) {
    test::TempDir dir;
    // File order: unity note, fine tune, gain, low note, high note, low velocity, high velocity.
    const std::vector<std::uint8_t> inst = {61, 0xF6, 0xFD, 10, 100, 5, 120};
    for (std::size_t size : {7u, 8u}) {
        std::vector<std::uint8_t> body = inst;
        body.resize(size);
        SoundInfo info = ReadBytes(dir, WavBuilder().Fmt(1, 8000, 8).Inst(body).Data(4).Build());
        EXPECT_TRUE(info.wavHasInst);
        EXPECT_EQ(info.instrument, (WavInstrument{61, -10, 10, 100, 5, 120, -3})) << size;
    }

    auto tuning = [&](std::uint32_t note, std::uint32_t fraction) {
        return ReadBytes(dir, WavBuilder().Fmt(1, 8000, 8).Data(4).Smpl(note, fraction, {}).Build())
            .instrument;
    };
    EXPECT_EQ(tuning(60, 0x80000000u).fineTune, 50);
    EXPECT_EQ(tuning(60, 0x80000000u).unityNote, 60);
    EXPECT_EQ(tuning(60, 0x80000001u).fineTune, 50);
    const WavInstrument raised = tuning(60, 2190433321u);  // 51 cents
    EXPECT_EQ(raised.unityNote, 61);
    EXPECT_EQ(raised.fineTune, -49);
    EXPECT_EQ(tuning(60, 0xFFFFFFFFu).fineTune, -1);  // 99 cents: the note above, 1 cent flat
    EXPECT_EQ(tuning(0x13C, 0).unityNote, 0x3C);       // the note's low byte

    // With 'inst' present its values win over 'smpl'.
    SoundInfo both = ReadBytes(
        dir, WavBuilder().Fmt(1, 8000, 8).Data(4).Smpl(59, 0xFFFFFFFFu, {}).Inst(inst).Build());
    EXPECT_EQ(both.instrument.unityNote, 61);
    EXPECT_EQ(both.instrument.fineTune, -10);
}

TEST(WavReader, ChunksAfterOddDataWithoutPadAreFound) {
    test::TempDir dir;
    auto bytes = WavBuilder()
                     .Fmt(1, 8000, 8)
                     .Data(1001, WavBuilder::Pad::None)
                     .Smpl(60, 0, {{10, 19, 0}})
                     .Inst({64, 0, 0, 0, 127, 1, 127})
                     .Build();
    SoundInfo info = ReadBytes(dir, bytes);
    EXPECT_EQ(info.frames, 1001u);
    EXPECT_TRUE(info.loopOn);
    EXPECT_EQ(info.loopEnd, 20u);
    EXPECT_EQ(info.instrument.unityNote, 64);
}

TEST(WavHeader, FieldsFromTheDeclaredSizesWithoutClamping) {
    test::TempDir dir;
    auto bytes = WavBuilder().Fmt(2, 48000, 24).Smpl(60, 0, {{10, 4999, 0}}).Data(600).Build();
    StoreLE32(bytes.data() + 12 + 24 + 68 + 4, 6000);  // data declares more than the file holds
    const std::string path = dir.File("h.wav");
    test::WriteAll(path, bytes);
    const wav::WavHeaderInfo h = wav::ReadHeader(path);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.sampleRate, 48000u);
    EXPECT_EQ(h.bitsPerSample, 24);
    EXPECT_EQ(h.bytesPerSample, 3);
    EXPECT_EQ(h.blockAlign, 6);
    EXPECT_EQ(h.frames, 1000u);
    EXPECT_EQ(h.loopOn, 1);
    EXPECT_EQ(h.loopStart, 10u);
    EXPECT_EQ(h.loopEnd, 5000u);
}

}  // namespace
}  // namespace pelmora
