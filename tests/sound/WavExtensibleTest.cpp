// WAV files with the extensible 'fmt ': which ones hold plain PCM, and the rewrite to a 16-byte
// PCM chunk that moves what follows and keeps every sample.

#include <gtest/gtest.h>

#include <cstdlib>

#include "WavTestFiles.h"
#include "base/Error.h"
#include "platform/File.h"
#include "sound/WavExtensible.h"
#include "sound/WavHeader.h"
#include "sound/WavReader.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// An extensible 'fmt ' body: `subFormat` names the GUID's format (1 PCM, 3 float); `guidTail`
// false spoils the GUID's fixed part.
std::vector<std::uint8_t> ExtensibleFmt(std::uint16_t channels, std::uint16_t bits, std::uint16_t validBits,
                                        std::uint16_t subFormat = 1, bool guidTail = true,
                                        std::uint16_t cbSize = 22, std::size_t size = 40) {
    std::vector<std::uint8_t> b(size);
    const std::uint16_t align = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
    const std::uint8_t tail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    std::vector<std::uint8_t> full(40);
    StoreLE16(full.data(), 0xFFFE);
    StoreLE16(full.data() + 2, channels);
    StoreLE32(full.data() + 4, 8000);
    StoreLE32(full.data() + 8, 8000u * align);
    StoreLE16(full.data() + 12, align);
    StoreLE16(full.data() + 14, bits);
    StoreLE16(full.data() + 16, cbSize);
    StoreLE16(full.data() + 18, validBits);
    StoreLE32(full.data() + 20, channels == 2 ? 3 : 4);
    StoreLE16(full.data() + 24, subFormat);
    std::copy(std::begin(tail), std::end(tail), full.begin() + 26);
    if (!guidTail) full[39] ^= 0xFF;
    std::copy_n(full.begin(), std::min(size, full.size()), b.begin());
    return b;
}

}  // namespace

TEST(WavExtensible, OnlyPlainPcmInOneOrTwoChannelsPasses) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> body;
        bool plain;
        StringId refusal;
    };
    const Case cases[] = {
        {"24-bit stereo PCM", ExtensibleFmt(2, 24, 24), true, StringId::UnknownWavePcmFormat},
        {"16-bit mono PCM", ExtensibleFmt(1, 16, 16), true, StringId::UnknownWavePcmFormat},
        {"longer chunk", ExtensibleFmt(2, 16, 16, 1, true, 24, 44), true, StringId::UnknownWavePcmFormat},
        {"float", ExtensibleFmt(2, 32, 32, 3), false, StringId::ExtensibleFloatRefused},
        {"mu-law", ExtensibleFmt(1, 8, 8, 7), false, StringId::ExtensibleCodedRefused},
        {"foreign GUID", ExtensibleFmt(2, 16, 16, 1, false), false, StringId::ExtensibleCodedRefused},
        {"six channels", ExtensibleFmt(6, 24, 24), false, StringId::ExtensibleChannelsRefused},
        {"20 valid bits in 24", ExtensibleFmt(2, 24, 20), false, StringId::ExtensibleValidBitsRefused},
        {"no extension", ExtensibleFmt(2, 16, 16, 1, true, 0), false, StringId::ExtensibleShortRefused},
        {"18-byte chunk", ExtensibleFmt(2, 16, 16, 1, true, 22, 18), false, StringId::ExtensibleShortRefused},
    };
    for (const Case& c : cases) {
        const wav::ExtensibleFormat f = wav::ClassifyExtensible(c.body.data(), c.body.size());
        EXPECT_EQ(f.plainPcm, c.plain) << c.name;
        if (!c.plain) {
            EXPECT_EQ(f.refusal, c.refusal) << c.name;
            EXPECT_TRUE(wav::IsExtensibleRefusal(f.refusal)) << c.name;
        }
    }
}

TEST(WavExtensible, TheHeaderReaderLetsPlainPcmOnAndSaysWhyOthersCannotOpen) {
    TempDir dir;
    const std::string plain = dir.File("plain.wav"), floating = dir.File("float.wav");
    WriteAll(plain, WavBuilder().Chunk("fmt ", ExtensibleFmt(2, 24, 24)).Data(600).Build());
    WriteAll(floating, WavBuilder().Chunk("fmt ", ExtensibleFmt(1, 32, 32, 3)).Data(400).Build());
    const wav::WavHeaderInfo header = wav::ReadHeader(plain);
    EXPECT_EQ(header.channels, 2);
    EXPECT_EQ(header.bitsPerSample, 24);
    EXPECT_EQ(header.frames, 100u);
    try {
        wav::ReadHeader(floating);
        ADD_FAILURE() << "a float file was let on";
    } catch (const Error& e) {
        EXPECT_EQ(e.Id(), StringId::ExtensibleFloatRefused);
        EXPECT_NE(e.Message().find("floating-point"), std::string::npos);
    }
    // The document reader takes only the plain header.
    platform::File file;
    ASSERT_TRUE(file.Open(plain, platform::OpenMode::Read));
    SoundInfo info;
    try {
        wav::ReadIntoDocument(file, info);
        ADD_FAILURE() << "the document reader took an extensible header";
    } catch (const Error& e) {
        EXPECT_EQ(e.Id(), StringId::UnknownWavePcmFormat);
    }
}

TEST(WavExtensible, TheRewriteKeepsEverySampleAndTheChunksAfterIt) {
    TempDir dir;
    // sox writes every 24-bit WAV with the extensible header, and a 'fact' chunk after it.
    for (const char* format : {"-b 24 -c 2", "-b 24 -c 1", "-b 32 -c 2"}) {
        const std::string path = dir.File("sox.wav");
        const std::string command = std::string("sox -n -r 8000 ") + format + " '" + path + "' synth 0.3 sine 300 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const auto before = ReadAll(path);
        ASSERT_EQ(LoadLE16(before.data() + 20), 0xFFFE) << format;
        const auto samples = SndfileSamples(path);

        platform::File file;
        ASSERT_TRUE(file.Open(path, platform::OpenMode::ReadWrite));
        wav::RewriteExtensibleAsPcm(file);
        file.Close();

        const auto after = ReadAll(path);
        EXPECT_EQ(after.size(), before.size() - 24) << format;
        EXPECT_EQ(LoadLE32(after.data() + 4), after.size() - 8) << format;
        EXPECT_EQ(LoadLE32(after.data() + 16), 16u) << format;
        EXPECT_EQ(LoadLE16(after.data() + 20), 1) << format;
        EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + 36, after.end()),
                  std::vector<std::uint8_t>(before.begin() + 60, before.end()))
            << "everything after the chunk moved down whole";
        EXPECT_EQ(SndfileSamples(path), samples) << format;
        EXPECT_TRUE(ReadWithSox(path)) << format;
        ASSERT_TRUE(file.Open(path, platform::OpenMode::Read));
        SoundInfo info;
        wav::ReadIntoDocument(file, info);
        EXPECT_EQ(info.frames, 2400u) << format;
        file.Close();
    }
}
