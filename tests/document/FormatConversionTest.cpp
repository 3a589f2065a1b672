// Format Conversion: the renaming of a file edited in place and of the title, its question,
// Save after it, and the rules that enable the commands.

#include <filesystem>

#include "DocumentTestBed.h"
#include "base/Error.h"
#include "document/Conversions.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

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
