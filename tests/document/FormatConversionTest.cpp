// Format Conversion: the renaming of a file edited in place and of the title, its question,
// Save after it, the HD Play rewrite's examples, and the rules that enable the commands.

#include <filesystem>

#include "DocumentTestBed.h"
#include "base/Error.h"
#include "document/Conversions.h"
#include "sound/AiffReader.h"
#include "sound/Bytes.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// A 16-bit mono AIFF of `frames` frames whose SSND header starts at `ssndAt` (a COMT fills the
// gap), with an odd-sized chunk after the data.
std::vector<std::uint8_t> AiffWithSsndAt(std::uint32_t ssndAt, std::uint32_t frames) {
    const std::uint32_t comt = ssndAt - 46;
    const std::uint32_t data = frames * 2;
    std::vector<std::uint8_t> f(ssndAt + 16 + data + 8 + 3 + 1, 0);
    std::uint8_t* p = f.data();
    StoreFourCC(p, MakeFourCC("FORM"));
    StoreBE32(p + 4, static_cast<std::uint32_t>(f.size() - 8));
    StoreFourCC(p + 8, MakeFourCC("AIFF"));
    StoreFourCC(p + 12, MakeFourCC("COMM"));
    StoreBE32(p + 16, 18);
    StoreBE16(p + 20, 1);
    StoreBE32(p + 22, frames);
    StoreBE16(p + 26, 16);
    const std::uint8_t rate[10] = {0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0};  // 8000 Hz
    std::copy(rate, rate + 10, p + 28);
    StoreFourCC(p + 38, MakeFourCC("COMT"));
    StoreBE32(p + 42, comt);
    StoreFourCC(p + ssndAt, MakeFourCC("SSND"));
    StoreBE32(p + ssndAt + 4, 8 + data);
    for (std::uint32_t i = 0; i < frames; ++i) StoreBE16(p + ssndAt + 16 + 2 * i, static_cast<std::uint16_t>(i * 331));
    std::uint8_t* tail = p + ssndAt + 16 + data;
    StoreFourCC(tail, MakeFourCC("NAME"));
    StoreBE32(tail + 4, 3);
    tail[8] = 'a';
    tail[9] = 'b';
    tail[10] = 'c';
    return f;
}

}  // namespace

using FormatConversion = DocumentTestBed;

TEST_F(FormatConversion, EnablingRulesAndCaptions) {
    struct Case {
        const char* sox;
        const char* name;
        bool add, deleteOrSwap, toAiff, toWave;
    } cases[] = {
        {"-r 8000 -b 16 -c 1", "m.wav", true, false, true, false},
        {"-r 8000 -b 16 -c 2", "s.wav", false, true, true, false},
        {"-r 8000 -b 8 -c 1", "m.aif", true, false, false, true},
        {"-r 8000 -b 24 -c 2", "s.aif", false, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COLMDoc& doc = app.Open(MakeSound(c.name, c.sox));
        EXPECT_TRUE(CanConvertBitSize(doc));
        EXPECT_EQ(CanAddChannel(doc), c.add);
        EXPECT_EQ(CanDeleteOrSwapChannels(doc), c.deleteOrSwap);
        const FormatChoices choices = FormatConversionChoices(doc);
        EXPECT_EQ(choices.waveToAiff, c.toAiff);
        EXPECT_EQ(choices.aiffToWave, c.toWave);
        EXPECT_EQ(choices.hdPlayRewrite, c.toWave);
        // A sound without frames offers none of them.
        doc.Info().frames = 0;
        EXPECT_FALSE(CanConvertBitSize(doc) || CanAddChannel(doc) || CanDeleteOrSwapChannels(doc));
        EXPECT_FALSE(FormatConversionChoices(doc).waveToAiff || FormatConversionChoices(doc).aiffToWave);
        app.Discard(doc);
    }
    const char* captions[4][3] = {
        {"8  bit  >>>>  16  bit", "8  bit  >>>>  24  bit", "8  bit  >>>>  32  bit"},
        {"16  bit  >>>>   8 bit", "16  bit  >>>>  24  bit", "16  bit  >>>>  32  bit"},
        {"24  bit  >>>>   8 bit", "24  bit  >>>>  16  bit", "24  bit  >>>>  32  bit"},
        {"32  bit  >>>>   8 bit", "32  bit  >>>>  16  bit", "32  bit  >>>>  24  bit"},
    };
    for (std::uint16_t from = 1; from <= 4; ++from) {
        const auto targets = BitSizeTargets(from);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(BitSizeCaption(from, targets[i]), captions[from - 1][i]);
    }
}

// File Backup off: the user's file is renamed for its new type, Undo and Redo rename it back
// and forth, and a file already at the new name is replaced only when the user says so.
TEST_F(FormatConversion, AFileEditedInPlaceIsRenamed) {
    app.fileBackup = false;
    const std::string wav = MakeSound("song.wav", "-r 8000 -b 16 -c 2");
    const std::string aif = user + "/song.aif";
    const auto samples = SndfileSamples(wav);
    COLMDoc& doc = app.Open(wav);
    const auto before = ReadAll(wav);

    WriteAll(aif, {1, 2, 3});
    prompter.Script({Answer::Cancel});
    EXPECT_FALSE(ConvertToOtherType(doc));
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0], aif + "\nThis file already exists.\nOverwrite this file?");
    EXPECT_EQ(ReadAll(aif), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(ReadAll(wav), before);

    doc.Info().loopOn = true;
    doc.Info().loopStart = 123;
    doc.Info().loopEnd = 1234;
    prompter.Script({Answer::Ok});
    ASSERT_TRUE(ConvertToOtherType(doc));
    EXPECT_FALSE(std::filesystem::exists(wav));
    // The loop rides along as MARK and INST, and back as 'smpl'.
    const auto aiffLoop = SndfileInstrumentOf(aif);
    ASSERT_TRUE(aiffLoop);
    ASSERT_FALSE(aiffLoop->loops.empty());
    EXPECT_EQ(aiffLoop->loops[0].start, 123u);
    EXPECT_EQ(aiffLoop->loops[0].end, 1234u);
    EXPECT_EQ(doc.WorkingPath(), aif);
    EXPECT_EQ(doc.Title(), "song.aif");
    EXPECT_EQ(doc.Info().fileType, FileType::Aiff);
    EXPECT_EQ(SndfileSamples(aif), samples);
    EXPECT_EQ(ReadWithSox(aif)->frames, doc.Info().frames);
    const auto after = ReadAll(aif);

    doc.Undo().UndoOrRedo(doc);
    EXPECT_EQ(ReadAll(wav), before);
    EXPECT_FALSE(std::filesystem::exists(aif));
    EXPECT_EQ(doc.Title(), "song.wav");
    EXPECT_EQ(doc.Info().fileType, FileType::Wav);
    doc.Undo().UndoOrRedo(doc);
    EXPECT_EQ(ReadAll(aif), after);
    EXPECT_FALSE(std::filesystem::exists(wav));
    EXPECT_EQ(doc.Info().fileType, FileType::Aiff);

    // And back to WAVE.
    ASSERT_TRUE(ConvertToOtherType(doc));
    EXPECT_EQ(doc.WorkingPath(), wav);
    EXPECT_EQ(SndfileSamples(wav), samples);
    const auto wavLoop = SndfileInstrumentOf(wav);
    ASSERT_TRUE(wavLoop);
    ASSERT_FALSE(wavLoop->loops.empty());
    EXPECT_EQ(wavLoop->loops[0].start, 123u);
    EXPECT_EQ(doc.Info().loopEnd, 1234u);
    app.Discard(doc);
}

// File Backup on: only the title changes; Save writes song.aif and removes song.wav, and a Save
// that fails leaves song.wav in place.
TEST_F(FormatConversion, SaveAfterTheConversionWritesTheNewName) {
    const std::string wav = MakeSound("song.wav", "-r 8000 -b 16 -c 1");
    const std::string aif = user + "/song.aif";
    const auto original = ReadAll(wav);
    COLMDoc& doc = app.Open(wav);
    ASSERT_TRUE(ConvertToOtherType(doc));
    EXPECT_EQ(doc.Title(), "song.aif");
    EXPECT_EQ(ReadAll(wav), original);

    platform::SetWriteBudget(100);
    EXPECT_THROW(doc.Save(), Error);
    platform::SetWriteBudget(-1);
    EXPECT_EQ(ReadAll(wav), original);
    EXPECT_FALSE(std::filesystem::exists(aif));

    doc.Save();
    EXPECT_FALSE(std::filesystem::exists(wav));
    EXPECT_EQ(ReadWithSox(aif)->frames, doc.Info().frames);
    EXPECT_EQ(doc.OriginalPath(), aif);
    EXPECT_TRUE(app.Close(doc));
}

// The HD Play rewrite: data already on a 512-byte boundary keeps its header bytes; data at 510
// (header bytes 0 … 493 kept) gets a pad chunk of 506 bytes and starts at 1016. The chunk after
// the data stays, and Undo brings the old file back.
TEST_F(FormatConversion, HdPlayRewriteExamples) {
    struct Case {
        const char* name;
        std::uint32_t ssndAt, dataAfter, padBytes;
    } cases[] = {
        {"aligned", 496, 512, 0},
        {"data at 510", 494, 1016, 506},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = user + "/hd.aif";
        const auto original = AiffWithSsndAt(c.ssndAt, 1001);
        WriteAll(path, original);
        COLMDoc& doc = app.Open(path);  // 16-bit mono: sectors hold whole frames, no question
        RewriteAiffHeaderForHdPlay(doc);
        EXPECT_EQ(doc.Info().dataOffset, c.dataAfter);
        EXPECT_FALSE(doc.HdMisaligned());
        const auto rewritten = ReadAll(doc.WorkingPath());
        EXPECT_TRUE(std::equal(original.begin() + 8, original.begin() + c.ssndAt, rewritten.begin() + 8));
        EXPECT_EQ(LoadBE32(rewritten.data() + 4), rewritten.size() - 8);
        if (c.padBytes != 0) {
            EXPECT_EQ(LoadFourCC(rewritten.data() + c.ssndAt), MakeFourCC("COMT"));
            EXPECT_EQ(LoadBE32(rewritten.data() + c.ssndAt + 4) + 8, c.padBytes);
        }
        EXPECT_EQ(rewritten.size(), c.dataAfter + 2002 + 12u);
        EXPECT_TRUE(std::equal(original.end() - 12, original.end(), rewritten.end() - 12));
        EXPECT_EQ(SndfileSamples(doc.WorkingPath()), SndfileSamples(path));
        doc.Undo().UndoOrRedo(doc);
        EXPECT_EQ(ReadAll(doc.WorkingPath()), original);
        EXPECT_EQ(doc.Info().dataOffset, c.ssndAt + 16);
        app.Discard(doc);
    }
}
