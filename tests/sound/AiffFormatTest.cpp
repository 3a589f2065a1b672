#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/File.h"
#include "sound/AiffRate.h"
#include "sound/AiffReader.h"
#include "sound/AiffTemplates.h"
#include "sound/AiffWriter.h"
#include "sound/Bytes.h"
#include "support/TempDir.h"

namespace pelmora {
namespace {

using aiff::HeaderTemplate;

TEST(AiffRate, EncodesAndDecodesCommonRates) {
    std::array<std::uint8_t, 10> bytes{};
    aiff::EncodeRate(44100, bytes.data());
    const std::array<std::uint8_t, 10> expected = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(aiff::DecodeRate(expected.data()), 44100u);

    for (std::uint32_t rate : {1u, 4000u, 8000u, 22050u, 48000u, 96000u, 200000u, 0xFFFFFFFFu}) {
        aiff::EncodeRate(rate, bytes.data());
        EXPECT_EQ(aiff::DecodeRate(bytes.data()), rate) << rate;
        EXPECT_EQ(bytes[2] & 0x80, 0x80) << "normalised, explicit integer bit";
    }
    aiff::EncodeRate(0, bytes.data());
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 10>{}));
    EXPECT_EQ(aiff::DecodeRate(bytes.data()), 0u);
}

TEST(AiffRate, DecodeIgnoresSignAndLowMantissaAndTruncates) {
    // 44100 with the sign bit and low mantissa bits set still reads 44100.
    const std::array<std::uint8_t, 10> noisy = {0xC0, 0x0E, 0xAC, 0x44, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(aiff::DecodeRate(noisy.data()), 44100u);
    // 22050.5: exponent of 2^14, mantissa 0xAC4(4)…: truncated toward zero.
    const std::array<std::uint8_t, 10> fraction = {0x40, 0x0D, 0xAC, 0x45, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(aiff::DecodeRate(fraction.data()), 22050u);
    // Huge and tiny exponents stay within range.
    const std::array<std::uint8_t, 10> huge = {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    EXPECT_EQ(aiff::DecodeRate(huge.data()), UINT32_MAX);
    const std::array<std::uint8_t, 10> tiny = {0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    EXPECT_EQ(aiff::DecodeRate(tiny.data()), 0u);
}

TEST(AiffTemplates, LayoutsOfTheThreeImages) {
    for (HeaderTemplate kind : {HeaderTemplate::WithoutMarkers, HeaderTemplate::WithMarkers,
                                HeaderTemplate::WavLoopMarkers}) {
        const auto image = aiff::TemplateImage(kind);
        EXPECT_EQ(std::memcmp(image.data(), "FORM", 4), 0);
        EXPECT_EQ(std::memcmp(image.data() + 8, "AIFFCOMM", 8), 0);
        EXPECT_EQ(std::memcmp(image.data() + 496, "SSND", 4), 0);
        const std::size_t comt = kind == HeaderTemplate::WithoutMarkers ? 38 : 108;
        EXPECT_EQ(std::memcmp(image.data() + comt, "COMT", 4), 0);
        EXPECT_EQ(LoadBE32(image.data() + comt + 4), 496 - comt - 8);
        EXPECT_EQ(LoadBE16(image.data() + comt + 8), 1);            // one comment
        EXPECT_EQ(LoadBE32(image.data() + comt + 10), 0xAAAAAAAAu);  // time stamp
        // The text length is what the chunk holds, so that other readers find SSND.
        EXPECT_EQ(LoadBE16(image.data() + comt + 16), 496 - comt - 18);
        EXPECT_EQ(std::memcmp(image.data() + comt + 18, "*** Pad comment for VLT-Pn ***  ", 32), 0);
        EXPECT_EQ(image[comt + 18 + 32], 0);
    }
    const auto marked = aiff::TemplateImage(HeaderTemplate::WithMarkers);
    EXPECT_EQ(std::memcmp(marked.data() + 38, "MARK", 4), 0);
    EXPECT_EQ(LoadBE32(marked.data() + 42), 34u);
    EXPECT_EQ(std::memcmp(marked.data() + 55, "beg loop", 8), 0);
    EXPECT_EQ(std::memcmp(marked.data() + 71, "end loop", 8), 0);
    EXPECT_EQ(std::memcmp(marked.data() + 80, "INST", 4), 0);
    const std::array<std::uint8_t, 20> inst = {60, 0, 0, 127, 1, 127, 0, 0, 0, 0,
                                               0, 1, 0, 2, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(marked.data() + 88, inst.data(), 20), 0);
    const auto wav = aiff::TemplateImage(HeaderTemplate::WavLoopMarkers);
    EXPECT_EQ(std::memcmp(wav.data() + 55, "big loop", 8), 0);
}

TEST(AiffTemplates, FillsFormatLoopAndSizes) {
    aiff::TemplateFields f;
    f.channels = 2;
    f.frames = 1000;
    f.bits = 24;
    f.rate = 48000;
    f.dataBytes = 6000;
    f.loopStart = 10;
    f.loopEnd = 900;
    f.loopOn = true;
    f.instrument.unityNote = 72;
    f.instrument.fineTune = -12;
    f.instrument.gain = -3;
    f.instrument.lowVelocity = 0;
    const auto image = aiff::FillTemplate(HeaderTemplate::WithMarkers, f);
    EXPECT_EQ(LoadBE32(image.data() + 4), 504u + 6000u);
    EXPECT_EQ(LoadBE16(image.data() + 20), 2);
    EXPECT_EQ(LoadBE32(image.data() + 22), 1000u);
    EXPECT_EQ(LoadBE16(image.data() + 26), 24);
    EXPECT_EQ(aiff::DecodeRate(image.data() + 28), 48000u);
    EXPECT_EQ(LoadBE32(image.data() + 50), 10u);
    EXPECT_EQ(LoadBE32(image.data() + 66), 900u);
    EXPECT_EQ(image[88], 72);
    EXPECT_EQ(static_cast<std::int8_t>(image[89]), -12);
    EXPECT_EQ(image[92], 1) << "a low velocity of 0 is written as 1";
    EXPECT_EQ(static_cast<std::int16_t>(LoadBE16(image.data() + 94)), -3);
    EXPECT_EQ(LoadBE16(image.data() + 96), 1);  // play mode
    EXPECT_EQ(LoadBE32(image.data() + 500), 6008u);

    f.loopEnd = f.loopStart;  // empty range: no sustain loop at all
    const auto empty = aiff::FillTemplate(HeaderTemplate::WithMarkers, f);
    EXPECT_EQ(LoadBE16(empty.data() + 96), 0);
    EXPECT_EQ(LoadBE32(empty.data() + 98), 0u);
}

TEST(AiffAlign, PadLengthsAndDataPositions) {
    EXPECT_EQ(aiff::PadChunkLength(496), 0u);   // 496 + 16 = 512
    EXPECT_EQ(aiff::PadChunkLength(500), 508u);  // data at 1024
    EXPECT_EQ(aiff::PadChunkLength(490), 510u);  // n = 6 < 8: data at 1016
    EXPECT_EQ(aiff::PadChunkLength(488), 8u);    // smallest pad that fits a header
    EXPECT_EQ(aiff::PadChunkLength(38), 458u);
    EXPECT_EQ(aiff::PadChunkLength(108), 388u);

    test::TempDir dir;
    for (std::uint64_t header : {496u, 500u, 490u, 489u, 108u}) {
        const std::string path = dir.File("a" + std::to_string(header));
        platform::File file(path, platform::OpenMode::CreateTruncate);
        std::vector<std::uint8_t> head(header, 0x11);
        ASSERT_TRUE(file.WriteAt(0, head.data(), head.size()));
        const std::uint64_t data = aiff::AlignDataStart(file, 100);
        const auto bytes = test::ReadAll(path);
        ASSERT_EQ(bytes.size(), data);
        EXPECT_TRUE(data % 512 == 0 || data % 512 == 504) << header;
        EXPECT_EQ(std::memcmp(bytes.data() + data - 16, "SSND", 4), 0);
        EXPECT_EQ(LoadBE32(bytes.data() + data - 12), 108u);
        EXPECT_EQ(LoadBE32(bytes.data() + data - 8), 0u);
        const std::uint32_t n = aiff::PadChunkLength(header);
        if (n != 0) {
            EXPECT_EQ(std::memcmp(bytes.data() + header, "COMT", 4), 0);
            // The size stays as computed, odd or not, and no pad byte follows it.
            EXPECT_EQ(LoadBE32(bytes.data() + header + 4), n - 8);
            EXPECT_EQ(header + n + 16, data);
        }
    }
}

TEST(AiffAlign, HdPlayCheck) {
    SoundInfo info;
    info.fileType = FileType::Aiff;
    info.channels = 2;
    info.bitsPerSample = 16;
    info.dataOffset = 510;
    UpdateDerivedFormat(info);
    EXPECT_FALSE(aiff::IsHdAligned(info));  // (512 − 510) mod 4 = 2
    info.dataOffset = 508;
    EXPECT_TRUE(aiff::IsHdAligned(info));
    info.dataOffset = 1016;
    EXPECT_TRUE(aiff::IsHdAligned(info));
    info.dataOffset = 54;  // 458 mod 4 = 2
    EXPECT_FALSE(aiff::IsHdAligned(info));
    info.channels = 1;
    info.bitsPerSample = 8;
    UpdateDerivedFormat(info);
    EXPECT_TRUE(aiff::IsHdAligned(info));  // one byte a frame fits anywhere
    info.channels = 2;
    info.bitsPerSample = 24;
    info.dataOffset = 511;
    UpdateDerivedFormat(info);
    EXPECT_TRUE(aiff::IsHdAligned(info)) << "24-bit files are never reported";
}

}  // namespace
}  // namespace pelmora
