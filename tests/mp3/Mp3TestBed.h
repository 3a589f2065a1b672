#pragma once
// Documents to export and MP3 files to import, with the lame and mpg123 programs as the
// independent encoder and decoder.

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "document/DocumentTestBed.h"
#include "mp3/Mp3OptionsModel.h"
#include "sound/Bytes.h"
#include "support/ExternalReaders.h"

namespace pelmora::test {

class Mp3TestBed : public DocumentTestBed {
protected:
    // A WAV of a 440 Hz sine (channel 1 at 660 Hz) whose data starts after a JUNK chunk and is
    // followed by a LIST chunk, so the data neither starts at 44 nor ends the file.
    std::string MakeWavWithChunks(const std::string& name, std::uint32_t rate, int channels,
                                  int bits, std::uint32_t frames) {
        const int bytes = bits / 8;
        const std::uint32_t block = static_cast<std::uint32_t>(bytes * channels);
        std::vector<std::uint8_t> f(12 + 24 + 8 + 16 + 8 + frames * block + 8 + 12);
        std::uint8_t* p = f.data();
        std::memcpy(p, "RIFF", 4);
        StoreLE32(p + 4, static_cast<std::uint32_t>(f.size() - 8));
        std::memcpy(p + 8, "WAVEfmt ", 8);
        StoreLE32(p + 16, 16);
        StoreLE16(p + 20, 1);
        StoreLE16(p + 22, static_cast<std::uint16_t>(channels));
        StoreLE32(p + 24, rate);
        StoreLE32(p + 28, rate * block);
        StoreLE16(p + 32, static_cast<std::uint16_t>(block));
        StoreLE16(p + 34, static_cast<std::uint16_t>(bits));
        std::memcpy(p + 36, "JUNK", 4);
        StoreLE32(p + 40, 16);
        std::memcpy(p + 60, "data", 4);
        StoreLE32(p + 64, frames * block);
        std::uint8_t* d = p + 68;
        const double full = std::ldexp(1.0, bits - 1) - 1;
        for (std::uint32_t i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                const auto v = static_cast<std::int32_t>(
                    0.5 * full * std::sin(2 * M_PI * (440 + 220 * c) * i / rate));
                for (int b = 0; b < bytes; ++b)
                    *d++ = static_cast<std::uint8_t>((bytes == 1 ? v + 128 : v) >> (8 * b));
            }
        }
        std::memcpy(d, "LIST", 4);
        StoreLE32(d + 4, 12);
        std::memset(d + 8, 0x7F, 12);  // loud bytes that must never be encoded as sound
        const std::string path = user + "/" + name;
        WriteAll(path, f);
        return path;
    }

    // The line of the options panel with that text, as the user would pick it.
    static int LineOf(const COLMDoc& doc, const std::string& text, int quality = 1) {
        Mp3OptionsModel model(doc.Info().sampleRate, doc.Info().channels);
        model.SetQuality(quality);
        const auto& lines = model.Lines();
        const auto it = std::find(lines.begin(), lines.end(), text);
        EXPECT_NE(it, lines.end()) << text;
        return static_cast<int>(it - lines.begin());
    }

    // Decodes with the mpg123 program into a WAV file beside the MP3 file.
    static std::string Mpg123(const std::string& mp3) {
        const std::string wav = mp3 + ".decoded.wav";
        const std::string command = "mpg123 -q -w '" + wav + "' '" + mp3 + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return wav;
    }

    static void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

    // Correlation of channel 0 of two interleaved sample streams, over the shorter one.
    static double Correlation(const std::vector<std::int32_t>& a, int aChannels,
                              const std::vector<std::int32_t>& b, int bChannels) {
        double ab = 0, aa = 0, bb = 0;
        const std::size_t frames = std::min(a.size() / aChannels, b.size() / bChannels);
        for (std::size_t i = 0; i < frames; ++i) {
            const double x = a[i * aChannels], y = b[i * bChannels];
            ab += x * y;
            aa += x * x;
            bb += y * y;
        }
        return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
    }
};

}  // namespace pelmora::test
