#include "DocumentTestBed.h"
#include "base/Error.h"
#include "document/SoundFileIo.h"
#include "sound/AiffReader.h"
#include "sound/Bytes.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// 16-bit stereo AIFF whose SSND offset field puts the data at byte 55, where sectors of 512
// bytes would split frames.
std::vector<std::uint8_t> MisalignedAiff(std::uint32_t frames) {
    std::vector<std::uint8_t> f(12 + 26 + 16 + 1 + frames * 4);
    std::uint8_t* p = f.data();
    StoreFourCC(p, MakeFourCC("FORM"));
    StoreBE32(p + 4, static_cast<std::uint32_t>(f.size() - 8));
    StoreFourCC(p + 8, MakeFourCC("AIFF"));
    StoreFourCC(p + 12, MakeFourCC("COMM"));
    StoreBE32(p + 16, 18);
    StoreBE16(p + 20, 2);
    StoreBE32(p + 22, frames);
    StoreBE16(p + 26, 16);
    const std::uint8_t rate[10] = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
    std::copy(rate, rate + 10, p + 28);
    StoreFourCC(p + 38, MakeFourCC("SSND"));
    StoreBE32(p + 42, 8 + 1 + frames * 4);
    StoreBE32(p + 46, 1);  // offset
    StoreBE32(p + 50, 0);
    for (std::uint32_t i = 0; i < frames * 2; ++i)
        StoreBE16(p + 55 + 2 * i, static_cast<std::uint16_t>(i * 977));
    return f;
}

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
