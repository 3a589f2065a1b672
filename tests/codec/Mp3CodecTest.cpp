// The codec as export and import drive it: the format table LAME really offers for an input,
// the encoder's block and flush contract, and a round trip through the decoder that must come
// back sample-exact in length (gapless) and close in shape.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "codec/Mp3Decoder.h"
#include "codec/Mp3Encoder.h"

using namespace pelmora::codec;

namespace {

std::vector<std::int16_t> Sine(std::size_t frames, int channels, double hz, std::uint32_t rate) {
    std::vector<std::int16_t> pcm(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            pcm[i * channels + c] = static_cast<std::int16_t>(
                12000 * std::sin(2 * M_PI * hz * (c + 1) * static_cast<double>(i) / rate));
    return pcm;
}

// Encodes all of `pcm` as export does (2304-byte blocks, 8192 bytes of room) into memory.
std::vector<std::uint8_t> EncodeAll(Mp3Encoder& encoder, const std::vector<std::int16_t>& pcm) {
    std::vector<std::uint8_t> mp3;
    std::uint8_t out[8192];
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pcm.data());
    const std::size_t total = pcm.size() * 2;
    for (std::size_t at = 0; at < total;) {
        const std::size_t block = std::min<std::size_t>(2304, total - at);
        for (std::size_t used = 0; used < block;) {
            std::size_t consumed = 0;
            const int n = encoder.Encode(bytes + at + used, block - used, consumed, out, sizeof out);
            EXPECT_GE(n, 0);
            EXPECT_GT(consumed, 0u);
            used += consumed;
            mp3.insert(mp3.end(), out, out + n);
        }
        at += block;
    }
    for (int n; (n = [&] { std::size_t c; return encoder.Encode(nullptr, 0, c, out, sizeof out); }()) > 0;)
        mp3.insert(mp3.end(), out, out + n);
    const auto info = encoder.InfoFrame();
    EXPECT_FALSE(info.empty());
    std::copy(info.begin(), info.end(), mp3.begin());
    return mp3;
}

std::vector<std::int16_t> DecodeAll(const std::vector<std::uint8_t>& mp3, StreamInfo& info) {
    EXPECT_EQ(ParseStreamHeader(mp3.data(), std::min<std::size_t>(4096, mp3.size()), info), 0);
    auto decoder = Mp3Decoder::Open(info);
    std::vector<std::uint8_t> out(info.outputBufferSize), pcm;
    std::size_t at = 0, have = 0;
    for (;;) {
        if (have == 0) have = std::min<std::size_t>(4096, mp3.size() - at);
        std::size_t consumed = 0, produced = 0;
        const std::size_t available = have;
        const int r = decoder->Step(mp3.data() + at, have, consumed, out.data(), out.size(), produced);
        EXPECT_GE(r, 0);
        at += consumed;
        have -= consumed;
        pcm.insert(pcm.end(), out.begin(), out.begin() + static_cast<long>(produced));
        if (r != 0 || (available == 0 && produced == 0)) break;
    }
    EXPECT_TRUE(decoder->End());
    std::vector<std::int16_t> samples(pcm.size() / 2);
    std::memcpy(samples.data(), pcm.data(), samples.size() * 2);
    return samples;
}

double Correlation(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b) {
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        ab += double(a[i]) * b[i];
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    return ab / std::sqrt(aa * bb);
}

}  // namespace

TEST(Mp3Encoder, FormatTableFollowsTheInput) {
    struct Case {
        std::uint32_t rate;
        int channels;
        std::size_t lines;          // 0: no encoder
        EncoderFormat first, last;
    };
    const Case cases[] = {
        {44100, 2, 28, {44100, 2, 320000}, {44100, 1, 32000}},  // stereo, then mono for stereo
        {96000, 2, 28, {48000, 2, 320000}, {48000, 1, 32000}},  // above every rate: the highest
        {44099, 1, 14, {32000, 1, 320000}, {32000, 1, 32000}},  // just below: the rate below it
        {22050, 1, 14, {22050, 1, 160000}, {22050, 1, 8000}},   // MPEG-2 rates
        {11025, 1, 8, {11025, 1, 64000}, {11025, 1, 8000}},     // MPEG-2.5 stops at 64 kbps
        {8000, 2, 16, {8000, 2, 64000}, {8000, 1, 8000}},
        {7999, 1, 0, {}, {}},                                   // below every MPEG rate
        {44100, 3, 0, {}, {}},
    };
    for (const Case& c : cases) {
        auto encoder = Mp3Encoder::Open(c.rate, c.channels, 1);
        SCOPED_TRACE(c.rate);
        if (c.lines == 0) {
            EXPECT_EQ(encoder, nullptr);
            continue;
        }
        ASSERT_NE(encoder, nullptr);
        EXPECT_EQ(encoder->Formats().size(), c.lines);
        EXPECT_EQ(encoder->Formats().front(), c.first);
        EXPECT_EQ(encoder->Formats().back(), c.last);
    }
    EXPECT_EQ(Mp3Encoder::Open(44100, 2, 3), nullptr);
    EXPECT_EQ(LameQuality(0), 7);
    EXPECT_EQ(LameQuality(2), 2);
}

TEST(Mp3Encoder, BlockAndFlushContract) {
    auto encoder = Mp3Encoder::Open(44100, 1, 0);
    ASSERT_NE(encoder, nullptr);
    std::uint8_t out[8192];
    std::size_t consumed = 99;
    const auto pcm = Sine(1152, 1, 440, 44100);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pcm.data());
    EXPECT_LT(encoder->Encode(bytes, 2304, consumed, out, sizeof out), 0);  // no format yet
    EXPECT_FALSE(encoder->SetFormat({44100, 2, 128000}));  // not in the table
    EXPECT_TRUE(encoder->SetFormat({44100, 1, 128000}));
    EXPECT_TRUE(encoder->SetFormat({44100, 1, 128000}));  // the same again
    EXPECT_GE(encoder->Encode(bytes, 2304, consumed, out, sizeof out), 0);
    EXPECT_EQ(consumed, 793u * 2);  // what 8192 bytes of room allow in the worst case
    EXPECT_EQ(encoder->Encode(bytes, 1, consumed, out, sizeof out), 0);  // less than a frame
    EXPECT_EQ(consumed, 1u);
    EXPECT_GT(encoder->Encode(bytes, 0, consumed, out, sizeof out), 0);  // the flush
    EXPECT_EQ(encoder->Encode(bytes, 0, consumed, out, sizeof out), 0);  // finished
    EXPECT_LT(encoder->Encode(bytes, 2304, consumed, out, sizeof out), 0);
}

TEST(Mp3Codec, RoundTripIsGaplessAndFaithful) {
    struct Case {
        std::uint32_t rate;
        int channels;
        EncoderFormat format;
        std::uint32_t decodedRate;
        int decodedChannels;
    };
    const Case cases[] = {
        {44100, 2, {44100, 2, 128000}, 44100, 2},
        {44100, 2, {44100, 1, 64000}, 44100, 1},   // stereo input as mono
        {22050, 1, {22050, 1, 64000}, 22050, 1},
        {48000, 1, {48000, 1, 96000}, 48000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        const std::size_t frames = c.rate / 2 + 123;
        const auto pcm = Sine(frames, c.channels, 330, c.rate);
        auto encoder = Mp3Encoder::Open(c.rate, c.channels, 1);
        ASSERT_TRUE(encoder && encoder->SetFormat(c.format));
        StreamInfo info;
        const auto decoded = DecodeAll(EncodeAll(*encoder, pcm), info);
        EXPECT_EQ(info.sampleRate, c.decodedRate);
        EXPECT_EQ(info.channels, c.decodedChannels);
        ASSERT_EQ(decoded.size(), frames * static_cast<std::size_t>(c.decodedChannels));
        if (c.decodedChannels == c.channels) {
            EXPECT_GT(Correlation(pcm, decoded), 0.99);
        }
    }
}

TEST(Mp3Codec, HeaderParsingRefusesOtherData) {
    StreamInfo info;
    std::vector<std::uint8_t> zeros(4096, 0), noise(4096);
    std::uint32_t seed = 1;
    for (auto& b : noise) b = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    EXPECT_EQ(ParseStreamHeader(zeros.data(), zeros.size(), info), -1);
    EXPECT_EQ(ParseStreamHeader(noise.data(), noise.size(), info), -1);
    EXPECT_EQ(ParseStreamHeader(noise.data(), 0, info), -1);
    // A WAV file's bytes, whose quiet samples are full of 0xFF 0xFx pairs.
    std::vector<std::uint8_t> wav(4096, 0xFF);
    std::memcpy(wav.data(), "RIFF\0\0\0\0WAVEfmt ", 16);
    EXPECT_EQ(ParseStreamHeader(wav.data(), wav.size(), info), -1);
}
