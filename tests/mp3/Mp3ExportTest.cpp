// Export To MP3 File: what mpg123 decodes of the file must be the document's sound, the tag its
// 128 bytes, and a declined, cancelled or refused export must leave no file of its own.

#include "Mp3TestBed.h"
#include "base/Error.h"
#include "mp3/Id3Tag.h"
#include "mp3/Mp3Export.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class Mp3Export : public Mp3TestBed {};

}  // namespace

TEST_F(Mp3Export, MpegDecodesTheDocumentsSound) {
    struct Case {
        const char* name;
        const char* sox;  // empty: a WAV with chunks around its data
        std::uint32_t rate;
        int channels, bits;
        const char* line;
        int decodedChannels;
    };
    const Case cases[] = {
        {"s16.wav", "", 44100, 2, 16, "128kbps-44.100kHz,Stereo", 2},
        {"u8.wav", "", 22050, 1, 8, "64kbps-22.050kHz,Mono", 1},
        {"s24.wav", "", 48000, 2, 24, "192kbps-48.000kHz,Stereo", 2},
        {"s32.wav", "", 32000, 1, 32, "96kbps-32.000kHz,Mono", 1},
        {"s16.aif", "-r 44100 -b 16 -c 2", 44100, 2, 16, "112kbps-44.100kHz,Mono", 1},
        {"s24.aif", "-r 16000 -b 24 -c 1", 16000, 1, 24, "64kbps-16.000kHz,Mono", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = *c.sox ? MakeSound(c.name, c.sox, 0.3)
                                          : MakeWavWithChunks(c.name, c.rate, c.channels, c.bits, 7777);
        COLMDoc& doc = app.Open(source);
        const auto before = FilesIn(work);
        const std::string mp3 = user + "/" + c.name + ".mp3";
        ASSERT_TRUE(ExportMp3(doc, mp3, {LineOf(doc, c.line), 1, false}));
        const auto decoded = ReadWithSndfile(Mpg123(mp3));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->rate, static_cast<int>(c.rate));
        EXPECT_EQ(decoded->channels, c.decodedChannels);
        // LAME's Info frame tells mpg123 the delay and padding: the length is exact. (Frames
        // too small for it, at the lowest MPEG-2 rates, decode longer by the codec's delay.)
        EXPECT_EQ(decoded->frames, doc.Info().frames);
        EXPECT_GT(Correlation(SndfileSamples(source), c.channels,
                              SndfileSamples(mp3 + ".decoded.wav"), c.decodedChannels),
                  0.98);
        EXPECT_EQ(FilesIn(work), before);  // every intermediate WAV file is gone
        app.Discard(doc);
    }
    for (const auto& name : FilesIn(user)) EXPECT_EQ(name.find(".part"), std::string::npos) << name;
}

TEST_F(Mp3Export, TagIsTheLast128Bytes) {
    COLMDoc& doc = app.Open(MakeSound("t.wav", "-r 44100 -b 16 -c 1", 0.1));
    doc.tag = {"Title", "Artist", "Album", "05", "Comment", 7, 17};
    const std::string tagged = user + "/tagged.mp3", plain = user + "/plain.mp3";
    ASSERT_TRUE(ExportMp3(doc, tagged, {0, 0, true}));
    ASSERT_TRUE(ExportMp3(doc, plain, {0, 0, false}));
    const auto withTag = ReadAll(tagged), without = ReadAll(plain);
    const auto expected = EncodeId3v1(doc.tag);
    ASSERT_EQ(withTag.size(), without.size() + kId3v1Bytes);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), withTag.end() - kId3v1Bytes));
    EXPECT_TRUE(std::equal(without.begin(), without.end(), withTag.begin()));
}

TEST_F(Mp3Export, DeclinedCancelledOrRefusedLeavesNothing) {
    COLMDoc& doc = app.Open(MakeWavWithChunks("s.wav", 44100, 2, 24, 44100));
    const std::string target = user + "/old.mp3";
    WriteAll(target, {'o', 'l', 'd'});
    const auto userFiles = FilesIn(user), workFiles = FilesIn(work);

    prompter.Script({Answer::Cancel});
    EXPECT_FALSE(ExportMp3(doc, target, {0, 0, true}));
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0], "This file already exists. Overwrite this file?");

    // ESC in each phase: the copy, the widening, the narrowing and the encoding.
    for (std::uint64_t step : {1, 3, 8, 20, 60}) {
        prompter.Script({Answer::Ok});
        progress.PressEscapeAtStep(progress.Steps() + step);
        EXPECT_THROW(ExportMp3(doc, target, {0, 0, true}), Cancelled) << step;
        EXPECT_EQ(ReadAll(target), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        EXPECT_EQ(FilesIn(user), userFiles);
        EXPECT_EQ(FilesIn(work), workFiles);
        EXPECT_FALSE(progress.IsActive());
    }

    // The document's own files are never a target.
    for (const std::string& own : {doc.WorkingPath(), doc.OriginalPath()}) {
        try {
            ExportMp3(doc, own, {0, 0, false});
            ADD_FAILURE() << own;
        } catch (const Error& e) {
            EXPECT_EQ(e.Id(), StringId::AlreadyOpenedCannotSave);
        }
    }
    EXPECT_EQ(FilesIn(user), userFiles);

    prompter.Script({Answer::Ok});
    EXPECT_TRUE(ExportMp3(doc, target, {0, 0, false}));
    EXPECT_GT(ReadAll(target).size(), 1000u);
}
