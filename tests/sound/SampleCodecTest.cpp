#include <gtest/gtest.h>

#include <random>

#include "sound/SampleCodec.h"
#include "sound/SampleConvert.h"

using namespace pelmora;

TEST(SampleCodec, EncodingsOfBothTypes) {
    std::uint8_t b[4] = {};
    b[0] = 0x80;
    EXPECT_EQ(ReadSample(FileType::Wav, 1, b), 0);
    b[0] = 0x00;
    EXPECT_EQ(ReadSample(FileType::Wav, 1, b), -128);
    EXPECT_EQ(ReadSample(FileType::Aiff, 1, b), 0);
    WriteSample(FileType::Aiff, 1, b, -128);
    EXPECT_EQ(b[0], 0x80);
    WriteSample(FileType::Wav, 1, b, -128);
    EXPECT_EQ(b[0], 0x00);

    const std::uint8_t min24[3] = {0x00, 0x00, 0x80}, max24[3] = {0xFF, 0xFF, 0x7F};
    EXPECT_EQ(ReadSample(FileType::Wav, 3, min24), -8388608);
    EXPECT_EQ(ReadSample(FileType::Wav, 3, max24), 8388607);
    const std::uint8_t be16[2] = {0x12, 0x34};
    EXPECT_EQ(ReadSample(FileType::Aiff, 2, be16), 0x1234);
    EXPECT_EQ(ReadSample(FileType::Wav, 2, be16), 0x3412);
    const std::uint8_t be32[4] = {0x80, 0, 0, 1};
    EXPECT_EQ(ReadSample(FileType::Aiff, 4, be32), INT32_MIN + 1);

    // Invalid widths read 0 and write nothing.
    std::uint8_t untouched[4] = {1, 2, 3, 4};
    EXPECT_EQ(ReadSample(FileType::Wav, 5, untouched), 0);
    WriteSample(FileType::Wav, 0, untouched, -1);
    EXPECT_EQ(untouched[0], 1);
}

TEST(SampleCodec, EveryWidthRoundTripsItsWholeRangeEdges) {
    for (FileType t : {FileType::Wav, FileType::Aiff}) {
        for (int bytes = 1; bytes <= 4; ++bytes) {
            const std::int64_t lo = -(std::int64_t{1} << (8 * bytes - 1));
            const std::int64_t hi = -lo - 1;
            for (std::int64_t v : {lo, lo + 1, std::int64_t{-1}, std::int64_t{0}, std::int64_t{1}, hi - 1, hi}) {
                std::uint8_t b[4] = {0xAA, 0xAA, 0xAA, 0xAA};
                WriteSample(t, bytes, b, static_cast<std::int32_t>(v));
                EXPECT_EQ(ReadSample(t, bytes, b), v) << "type " << int(t) << " bytes " << bytes;
                if (bytes < 4) {
                    EXPECT_EQ(b[bytes], 0xAA) << "wrote past the sample";
                }
            }
        }
    }
}

TEST(SampleConvert, BufferTypeConversionSwapsAndIsItsOwnInverse) {
    std::mt19937 rng(7);
    for (int bytes = 1; bytes <= 4; ++bytes) {
        std::vector<std::uint8_t> wav(bytes * 64);
        for (auto& b : wav) b = static_cast<std::uint8_t>(rng());
        auto buffer = wav;
        ConvertBufferType(FileType::Wav, bytes, buffer.data(), buffer.size());
        for (int i = 0; i < 64; ++i) {
            EXPECT_EQ(ReadSample(FileType::Aiff, bytes, buffer.data() + i * bytes),
                      ReadSample(FileType::Wav, bytes, wav.data() + i * bytes));
        }
        ConvertBufferType(FileType::Aiff, bytes, buffer.data(), buffer.size());
        EXPECT_EQ(buffer, wav);
    }
}

TEST(SampleConvert, WidthConversionShiftsWithoutRounding) {
    EXPECT_EQ(ConvertSampleWidth(-1, 2, 1), -1);
    EXPECT_EQ(ConvertSampleWidth(0x7FFF, 2, 1), 127);
    EXPECT_EQ(ConvertSampleWidth(-128, 1, 4), INT32_MIN);
    EXPECT_EQ(ConvertSampleWidth(127, 1, 3), 127 << 16);
    EXPECT_EQ(ConvertSampleWidth(INT32_MIN, 4, 3), -8388608);
    EXPECT_EQ(ConvertSampleWidth(-8388608, 3, 1), -128);

    // A block: 16-bit WAV to 24-bit AIFF and back loses nothing.
    const std::uint8_t wav16[6] = {0x00, 0x80, 0xFF, 0xFF, 0xFF, 0x7F};
    std::uint8_t aiff24[9] = {};
    std::uint8_t back[6] = {};
    ConvertSampleBlock(FileType::Wav, 2, wav16, FileType::Aiff, 3, aiff24, 3);
    EXPECT_EQ(ReadSample(FileType::Aiff, 3, aiff24), -32768 * 256);
    ConvertSampleBlock(FileType::Aiff, 3, aiff24, FileType::Wav, 2, back, 3);
    EXPECT_TRUE(std::equal(std::begin(wav16), std::end(wav16), back));
}

TEST(SampleConvert, FloatPair) {
    std::uint8_t b[4];
    auto storeFloat = [&](float f) {
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        WriteSample(FileType::Wav, 4, b, static_cast<std::int32_t>(u));
    };
    storeFloat(1.0f);
    EXPECT_EQ(ReadFloatSample(FileType::Wav, b), 2147418112.0);
    storeFloat(-1.0f);
    EXPECT_EQ(ReadFloatSample(FileType::Wav, b), -2147483648.0);
    storeFloat(0.5f);
    EXPECT_EQ(ReadFloatSample(FileType::Wav, b), 1073741824.0);
    EXPECT_EQ(ReadFloatSample(FileType::Aiff, b), 0.0);
    storeFloat(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(ReadFloatSample(FileType::Wav, b), 0.0);

    WriteFloatSample(FileType::Wav, b, 1 << 30);
    EXPECT_EQ(ReadFloatSample(FileType::Wav, b), 1073741824.0);
    WriteFloatSample(FileType::Aiff, b, 1 << 30);
    EXPECT_EQ(ReadSample(FileType::Wav, 4, b), 0);
}
