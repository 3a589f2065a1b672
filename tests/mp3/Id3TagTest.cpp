// The ID3 v1.1 tag byte for byte, the genre list as the dialog shows it, the ID3v2 skip, and the
// narrowing of wide samples through their float, against the arithmetic written out.

#include <gtest/gtest.h>

#include <cstring>

#include "mp3/EncoderInput.h"
#include "mp3/Id3Tag.h"
#include "mp3/Latin1.h"

using namespace pelmora;

namespace {

std::string Field(const std::array<std::uint8_t, kId3v1Bytes>& tag, std::size_t at, std::size_t n) {
    return std::string(reinterpret_cast<const char*>(tag.data() + at), n);
}

}  // namespace

TEST(Id3v1, BytesOfTheTag) {
    TagFields f;
    f.title = std::string(30, 'T');           // exactly 30: no padding
    f.artist = "";                            // empty: 30 zero bytes
    f.album = "Al\xE9";                       // Latin-1 bytes as they are
    f.year = "05";                            // short: zero bytes after it
    f.comment = std::string(28, 'c');
    f.track = 255;
    f.genre = 125;
    const auto tag = EncodeId3v1(f);
    EXPECT_EQ(Field(tag, 0, 3), "TAG");
    EXPECT_EQ(Field(tag, 3, 30), std::string(30, 'T'));
    EXPECT_EQ(Field(tag, 33, 30), std::string(30, '\0'));
    EXPECT_EQ(Field(tag, 63, 30), "Al\xE9" + std::string(27, '\0'));
    EXPECT_EQ(Field(tag, 93, 4), std::string("05\0\0", 4));
    EXPECT_EQ(Field(tag, 97, 28), std::string(28, 'c'));
    EXPECT_EQ(tag[125], 0);
    EXPECT_EQ(tag[126], 255);
    EXPECT_EQ(tag[127], 125);

    const auto back = DecodeId3v1(tag.data(), tag.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, f);
}

TEST(Id3v1, ReadingOtherTags) {
    std::array<std::uint8_t, kId3v1Bytes> v10{};
    std::memcpy(v10.data(), "TAGSong", 7);
    std::memset(v10.data() + 97, 'x', 30);  // ID3 v1.0: a 30-byte comment, no track
    v10[127] = 200;                          // a genre beyond the list is kept as it is
    const auto f = DecodeId3v1(v10.data(), v10.size());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->title, "Song");
    EXPECT_EQ(f->comment, std::string(28, 'x'));
    EXPECT_EQ(f->track, 0);
    EXPECT_EQ(f->genre, 200);
    v10[0] = 'X';
    EXPECT_FALSE(DecodeId3v1(v10.data(), v10.size()));
    EXPECT_FALSE(DecodeId3v1(v10.data(), 127));
}

TEST(Id3v1, GenreList) {
    struct Case {
        int index;
        const char* line;
    };
    const Case cases[] = {{0, "0: Blues"}, {16, "16: Reggea"}, {25, "25: Euro-Tecno"},
                          {52, "52: Electonic"}, {67, "67: Psychadelic"}, {89, "89: Bluesgrass"},
                          {123, "123: A capella"}, {125, "125: Dance Hall"}, {126, ""}, {-1, ""}};
    for (const Case& c : cases) EXPECT_EQ(GenreLine(c.index), c.line) << c.index;
}

TEST(Id3v2, AudioStart) {
    struct Case {
        const char* head;
        std::uint64_t start;
    };
    const Case cases[] = {
        {"ID3\x03\x00\x00\x00\x00\x00\x0A", 20},   // size 10
        {"ID3\x04\x00\x00\x00\x00\x02\x01", 267},  // size 257: 7 bits a byte
        {"ID3\x03\x00\x00\x7F\x7F\x7F\x7F", (1u << 28) - 1 + 10},
        {"ID3\x03\x00\x00\xFF\x80\x80\x80", (0x7Fu << 21) + 10},  // top bits ignored
        {"\xFF\xFB\x90\x00\x00\x00\x00\x00\x00\x00", 0},          // audio right away
    };
    for (const Case& c : cases)
        EXPECT_EQ(AudioStartAfterId3v2(reinterpret_cast<const std::uint8_t*>(c.head), 10), c.start);
    EXPECT_EQ(AudioStartAfterId3v2(reinterpret_cast<const std::uint8_t*>("ID3\x03"), 4), 0u);
}

TEST(NarrowingThroughFloat, MatchesTheArithmetic) {
    struct Case {
        std::int32_t widened;
        std::int16_t expected;
    };
    const Case cases[] = {
        {127 << 24, 32512},       {-128 * (1 << 24), -32768},  // 8-bit extremes
        {1 << 24, 256},           {8388607 << 8, 32767},       // 24-bit full scale
        {-8388608 * 256, -32768}, {0x7FFFFFFF, 32767},         // 32-bit: float rounds up, limited
        {-1, -1},                 {65535, 0},  // small 32-bit values lost in the float's precision
        {-65536, -1},             {(1 << 8) * 100, 0},
        {0x01FFFFFF, 512},  // 25 significant bits: the float rounds up across a 16-bit step
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NarrowThroughFloat(c.widened), c.expected) << c.widened;
    }
}

TEST(Latin1, ConversionsOfTheCommandLine) {
    EXPECT_EQ(Utf8ToLatin1("abc"), "abc");
    EXPECT_EQ(Utf8ToLatin1("T\xC3\xAFtle \xC2\xA9"), "T\xEFtle \xA9");
    EXPECT_FALSE(Utf8ToLatin1("\xE2\x82\xAC"));  // the euro sign is not Latin-1
    EXPECT_FALSE(Utf8ToLatin1("\xC3"));          // cut short
    EXPECT_EQ(Latin1ToUtf8("T\xEFtle"), "T\xC3\xAFtle");
}
