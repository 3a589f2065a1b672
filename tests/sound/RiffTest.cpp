#include <gtest/gtest.h>

#include "platform/File.h"
#include "sound/Riff.h"
#include "sound/RiffEdit.h"
#include "support/TempDir.h"
#include "WavTestFiles.h"

namespace pelmora {
namespace {

using test::WavBuilder;

constexpr FourCC kWave = MakeFourCC("WAVE");

platform::File OpenBytes(const test::TempDir& dir, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir.File("riff.wav");
    test::WriteAll(path, bytes);
    return platform::File(path, platform::OpenMode::ReadWrite);
}

TEST(RiffReader, SearchSkipsOddChunksWithOrWithoutTheirPadByte) {
    test::TempDir dir;
    for (auto pad : {WavBuilder::Pad::Standard, WavBuilder::Pad::None}) {
        auto bytes = WavBuilder().Chunk("odd ", {1, 2, 3}, pad).Data(5, pad).Chunk("smpl", {9, 9}).Build();
        platform::File file = OpenBytes(dir, bytes);
        riff::RiffReader reader(file);
        riff::Chunk form, data, smpl;
        ASSERT_TRUE(reader.DescendForm(kWave, form));
        ASSERT_TRUE(reader.Descend(form, MakeFourCC("data"), data));
        EXPECT_EQ(data.size, 5u);
        EXPECT_EQ(reader.Position(), data.dataOffset);
        reader.Ascend(data);
        ASSERT_TRUE(reader.Descend(form, MakeFourCC("smpl"), smpl));
        EXPECT_EQ(smpl.dataOffset, pad == WavBuilder::Pad::Standard ? 46u : 44u);
    }
}

TEST(RiffReader, SearchStaysWithinTheParentAndTheFile) {
    test::TempDir dir;
    // A LIST whose child list ends before a 'labl' that follows it at the top level.
    std::vector<std::uint8_t> inner = {'a', 'd', 't', 'l', 'n', 'o', 't', 'e', 0, 0, 0, 0};
    auto bytes = WavBuilder().Chunk("LIST", inner).Chunk("labl", {1, 2}).Build();
    {
        platform::File file = OpenBytes(dir, bytes);
        riff::RiffReader reader(file);
        riff::Chunk form, list, found;
        ASSERT_TRUE(reader.DescendForm(kWave, form));
        ASSERT_TRUE(reader.DescendList(form, MakeFourCC("adtl"), list));
        EXPECT_TRUE(reader.Descend(list, MakeFourCC("note"), found));
        reader.Seek(list.FirstChild());
        EXPECT_FALSE(reader.Descend(list, MakeFourCC("labl"), found));
        EXPECT_TRUE(reader.Descend(form, MakeFourCC("labl"), found));
    }
    {
        // A body declared far beyond the file: found, but only the bytes present are held,
        // and the search for anything after it ends instead of running off.
        auto cut = WavBuilder().RawChunk("data", 0x7FFFFFF0, {1, 2, 3, 4}).Build();
        platform::File file = OpenBytes(dir, cut);
        riff::RiffReader reader(file);
        riff::Chunk form, data, none;
        ASSERT_TRUE(reader.DescendForm(kWave, form));
        ASSERT_TRUE(reader.Descend(form, MakeFourCC("data"), data));
        EXPECT_EQ(data.held, 4u);
        std::uint8_t buffer[16];
        EXPECT_EQ(reader.Read(data, buffer, sizeof buffer), 4);
        EXPECT_FALSE(reader.ReadBody(data, 2, buffer, 3));
        reader.Seek(form.FirstChild());
        EXPECT_FALSE(reader.Descend(form, MakeFourCC("smpl"), none));
    }
    {
        // A header cut in half at the end of the file is not a chunk.
        auto bytes2 = WavBuilder().Data(4).Build();
        bytes2.insert(bytes2.end(), {'s', 'm', 'p', 'l', 60});
        platform::File file = OpenBytes(dir, bytes2);
        riff::RiffReader reader(file);
        riff::Chunk form, none;
        ASSERT_TRUE(reader.DescendForm(kWave, form));
        EXPECT_FALSE(reader.Descend(form, MakeFourCC("smpl"), none));
    }
}

TEST(RiffReader, FormBounds) {
    test::TempDir dir;
    // An unfinished header (size 0) reaches to the end of the file; so does a size too large.
    for (std::uint32_t size : {0u, 0xFFFFFFFFu}) {
        platform::File file = OpenBytes(dir, WavBuilder().Data(4).Build(size));
        riff::RiffReader reader(file);
        riff::Chunk form, data;
        ASSERT_TRUE(reader.DescendForm(kWave, form));
        EXPECT_TRUE(reader.Descend(form, MakeFourCC("data"), data));
    }
    // A declared size that ends before a chunk keeps that chunk outside the form.
    platform::File file = OpenBytes(dir, WavBuilder().Data(4).Chunk("smpl", {}).Build(16));
    riff::RiffReader reader(file);
    riff::Chunk form, chunk;
    ASSERT_TRUE(reader.DescendForm(kWave, form));
    EXPECT_FALSE(reader.Descend(form, MakeFourCC("smpl"), chunk));
    // Wrong form type or no RIFF at all.
    platform::File other = OpenBytes(dir, {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '});
    riff::RiffReader otherReader(other);
    EXPECT_FALSE(otherReader.DescendForm(kWave, form));
}

TEST(RiffWriter, SizesArePatchedOnAscentAndOddChunksPadded) {
    test::TempDir dir;
    platform::File file(dir.File("new.wav"), platform::OpenMode::CreateNew);
    riff::RiffWriter writer(file);
    riff::Chunk form, odd, list, label;
    ASSERT_TRUE(writer.CreateForm(kWave, form));
    ASSERT_TRUE(writer.CreateChunk(MakeFourCC("odd "), odd));
    ASSERT_TRUE(writer.Write("abc", 3));
    ASSERT_TRUE(writer.Ascend(odd));
    ASSERT_TRUE(writer.CreateList(riff::kListId, MakeFourCC("adtl"), list));
    ASSERT_TRUE(writer.CreateChunk(MakeFourCC("labl"), label));
    ASSERT_TRUE(writer.Write("x", 1));
    ASSERT_TRUE(writer.Ascend(label));
    ASSERT_TRUE(writer.Ascend(list));
    ASSERT_TRUE(writer.Ascend(form));

    const auto bytes = test::ReadAll(file.Path());
    ASSERT_EQ(bytes.size(), 12u + 12u + 12u + 10u);
    EXPECT_EQ(LoadLE32(bytes.data() + 4), bytes.size() - 8);
    EXPECT_EQ(LoadLE32(bytes.data() + 16), 3u);
    EXPECT_EQ(bytes[23], 0);  // pad
    EXPECT_EQ(LoadLE32(bytes.data() + 28), 4u + 10u);
    EXPECT_EQ(LoadLE32(bytes.data() + 40), 1u);
}

TEST(RiffEdit, RemovingAChunkTakesItsPadByteAndAppendingStartsEven) {
    test::TempDir dir;
    auto bytes = WavBuilder().Chunk("odd ", {1, 2, 3}).Data(4).Build();
    platform::File file = OpenBytes(dir, bytes);
    riff::RiffReader reader(file);
    riff::Chunk form, odd;
    ASSERT_TRUE(reader.DescendForm(kWave, form));
    ASSERT_TRUE(reader.Descend(form, MakeFourCC("odd "), odd));
    riff::RemoveChunk(file, odd);
    riff::SetFormSize(file);
    const auto after = test::ReadAll(file.Path());
    EXPECT_EQ(after, WavBuilder().Data(4).Build());

    auto oddEnd = WavBuilder().Data(3, WavBuilder::Pad::None).Build();
    platform::File last = OpenBytes(dir, oddEnd);
    EXPECT_EQ(riff::EvenEnd(last), oddEnd.size() + 1);
    EXPECT_EQ(riff::LengthOf(last), oddEnd.size() + 1);
}

}  // namespace
}  // namespace pelmora
