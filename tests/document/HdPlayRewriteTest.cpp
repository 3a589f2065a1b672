// The HD Play rewrite: the question at open for data that sectors would split, and the header
// rewrite's examples with their Undo.

#include <algorithm>

#include "DocumentTestBed.h"
#include "base/Error.h"
#include "document/Conversions.h"
#include "document/SoundFileIo.h"
#include "sound/AiffReader.h"
#include "sound/Bytes.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// A 16-bit AIFF at 8000 Hz: `comment` bytes of COMT between COMM and SSND, SSND's offset field
// skipping `ssndOffset` bytes, then the data and an odd-sized chunk after it.
std::vector<std::uint8_t> HandMadeAiff(std::uint16_t channels, std::uint32_t frames, std::uint32_t comment,
                                       std::uint32_t ssndOffset) {
    const std::uint32_t data = frames * channels * 2;
    const std::uint32_t ssndAt = 38 + (comment == 0 ? 0 : 8 + comment);
    std::vector<std::uint8_t> f(ssndAt + 16 + ssndOffset + data + 8 + 3 + 1, 0);
    std::uint8_t* p = f.data();
    StoreFourCC(p, MakeFourCC("FORM"));
    StoreBE32(p + 4, static_cast<std::uint32_t>(f.size() - 8));
    StoreFourCC(p + 8, MakeFourCC("AIFF"));
    StoreFourCC(p + 12, MakeFourCC("COMM"));
    StoreBE32(p + 16, 18);
    StoreBE16(p + 20, channels);
    StoreBE32(p + 22, frames);
    StoreBE16(p + 26, 16);
    const std::uint8_t rate[10] = {0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0};  // 8000 Hz
    std::copy(rate, rate + 10, p + 28);
    if (comment != 0) {
        StoreFourCC(p + 38, MakeFourCC("COMT"));
        StoreBE32(p + 42, comment);
    }
    StoreFourCC(p + ssndAt, MakeFourCC("SSND"));
    StoreBE32(p + ssndAt + 4, 8 + ssndOffset + data);
    StoreBE32(p + ssndAt + 8, ssndOffset);
    std::uint8_t* samples = p + ssndAt + 16 + ssndOffset;
    for (std::uint32_t i = 0; i < frames * channels; ++i)
        StoreBE16(samples + 2 * i, static_cast<std::uint16_t>(i * 977));
    std::uint8_t* tail = samples + data;
    StoreFourCC(tail, MakeFourCC("NAME"));
    StoreBE32(tail + 4, 3);
    std::copy_n("abc", 3, tail + 8);
    return f;
}

// 16-bit stereo with the data at byte 55, where sectors of 512 bytes would split frames.
std::vector<std::uint8_t> MisalignedAiff(std::uint32_t frames) { return HandMadeAiff(2, frames, 0, 1); }

}  // namespace

using HdPlayRewrite = DocumentTestBed;

TEST_F(HdPlayRewrite, DecliningTheRewriteAbortsTheOpen) {
    const std::string path = user + "/mis.aif";
    WriteAll(path, MisalignedAiff(3000));
    prompter.Script({Answer::No});
    EXPECT_THROW(app.Open(path), Cancelled);
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0],
              "Data alignment of this file is not appropriate for HD Play mode.\n"
              "Rewrite Aiff header for HD Play mode ?");
    EXPECT_TRUE(app.Documents().empty());
    EXPECT_EQ(FilesIn(work), std::set<std::string>{});
    EXPECT_EQ(ReadAll(path), MisalignedAiff(3000));
}

TEST_F(HdPlayRewrite, TheWorkingFileIsRewrittenAndTheOriginalKept) {
    const std::string path = user + "/mis.aif";
    const auto original = MisalignedAiff(30000);  // more than one 65536-byte piece
    WriteAll(path, original);
    prompter.Script({Answer::Yes});
    COLMDoc& doc = app.Open(path);
    EXPECT_EQ(doc.Info().dataOffset, 512u);  // a 458-byte pad after the 38 header bytes
    EXPECT_TRUE(aiff::IsHdAligned(doc.Info()));
    EXPECT_TRUE(doc.DataChanged());  // the original changes only when saved
    EXPECT_EQ(ReadAll(path), original);
    const auto rewritten = ReadAll(doc.WorkingPath());
    // The header chunks before SSND are kept byte for byte.
    EXPECT_TRUE(std::equal(original.begin() + 12, original.begin() + 38, rewritten.begin() + 12));
    EXPECT_EQ(SndfileSamples(doc.WorkingPath()), SndfileSamples(path));
    auto view = ReadWithSox(doc.WorkingPath());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->frames, 30000);

    doc.Save();
    EXPECT_EQ(SndfileSamples(path), SndfileSamples(doc.WorkingPath()));
    SoundInfo saved;
    ReadSoundFile(path, FileType::Aiff, saved);
    EXPECT_TRUE(aiff::IsHdAligned(saved));
    EXPECT_TRUE(app.Close(doc));
    EXPECT_EQ(FilesIn(work), std::set<std::string>{});
}

// The HD Play rewrite: data already on a 512-byte boundary keeps its header bytes; data at 510
// (header bytes 0 … 493 kept) gets a pad chunk of 506 bytes and starts at 1016. The chunk after
// the data stays, and Undo brings the old file back.
TEST_F(HdPlayRewrite, ExamplesOfTheHeaderRewrite) {
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
        const auto original = HandMadeAiff(1, 1001, c.ssndAt - 46, 0);
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
