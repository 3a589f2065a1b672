#pragma once
// Documents with chosen samples, and the image a straight scan of the samples gives, for
// checking what the coarse pass, the build, the refinement and the edits leave in the image.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "../document/DocumentTestBed.h"
#include "display/DocumentWaveform.h"
#include "sound/Bytes.h"
#include "sound/SampleCodec.h"

namespace pelmora::test {

class ImageTestBed : public DocumentTestBed {
protected:
    // A plain PCM WAV file in the user's folder; `samples` interleaved, in the width of `bits`.
    std::string WriteWav(const std::string& name, std::uint16_t channels, std::uint16_t bits,
                         const std::vector<std::int32_t>& samples, std::uint32_t rate = 8000) {
        const int width = (bits + 7) / 8;
        std::vector<std::uint8_t> data(samples.size() * width);
        for (std::size_t i = 0; i < samples.size(); ++i)
            WriteSample(FileType::Wav, width, data.data() + i * width, samples[i]);
        // Sized once, then filled: GCC 12 at -O3 takes an insert after a fixed size for an overflow.
        std::vector<std::uint8_t> file(44 + data.size());
        std::copy_n("RIFF", 4, file.begin());
        StoreLE32(file.data() + 4, static_cast<std::uint32_t>(36 + data.size()));
        std::copy_n("WAVEfmt ", 8, file.begin() + 8);
        StoreLE32(file.data() + 16, 16);
        StoreLE16(file.data() + 20, 1);
        StoreLE16(file.data() + 22, channels);
        StoreLE32(file.data() + 24, rate);
        StoreLE32(file.data() + 28, rate * channels * width);
        StoreLE16(file.data() + 32, static_cast<std::uint16_t>(channels * width));
        StoreLE16(file.data() + 34, bits);
        std::copy_n("data", 4, file.begin() + 36);
        StoreLE32(file.data() + 40, static_cast<std::uint32_t>(data.size()));
        std::copy(data.begin(), data.end(), file.begin() + 44);
        if (data.size() % 2) file.push_back(0);
        const std::string path = user + "/" + name;
        WriteAll(path, file);
        return path;
    }

    // Interleaved samples that differ from point to point: a ramp with a little noise.
    static std::vector<std::int32_t> Varied(std::uint32_t frames, std::uint16_t channels, int bits,
                                            std::uint32_t seed = 1) {
        const std::int64_t top = (std::int64_t{1} << (bits - 1)) - 1;
        std::vector<std::int32_t> out;
        std::uint32_t x = seed;
        for (std::uint32_t f = 0; f < frames; ++f) {
            for (std::uint16_t c = 0; c < channels; ++c) {
                x = x * 1664525u + 1013904223u;
                const std::int64_t v = static_cast<std::int64_t>(x >> 8) % (2 * top + 1) - top;
                out.push_back(static_cast<std::int32_t>(c == 0 ? v : v / 3));
            }
        }
        return out;
    }

    static DocumentWaveform& Waveform(COLMDoc& doc) {
        DocumentWaveform* w = WaveformOf(doc);
        EXPECT_NE(w, nullptr);
        return *w;
    }

    // The image a straight scan of the working file gives.
    static std::vector<std::uint8_t> Recomputed(const COLMDoc& doc, std::uint32_t fpp) {
        const SoundInfo& s = doc.Info();
        const auto bytes = ReadAll(doc.WorkingPath());
        const ImageGeometry g = GeometryOf(s, fpp);
        std::vector<std::uint8_t> image(g.Bytes());
        for (std::uint64_t p = 0; p < g.Points(); ++p) {
            for (int c = 0; c < s.channels; ++c) {
                std::int32_t high = INT32_MIN, low = INT32_MAX;
                for (std::uint32_t f = 0; f < g.FramesOfPoint(p); ++f) {
                    const std::uint64_t frame = p * fpp + f;
                    const std::uint64_t at = s.dataOffset + frame * s.blockAlign + c * s.bytesPerSample;
                    if (at + s.bytesPerSample > bytes.size()) break;  // a file cut short by the test
                    const std::int32_t v = ReadSample(s.fileType, s.bytesPerSample, bytes.data() + at);
                    high = std::max(high, v);
                    low = std::min(low, v);
                }
                std::uint8_t* pair = image.data() + p * g.PointBytes() + 2 * c * g.width;
                StoreImageValue(pair, g.width, high);
                StoreImageValue(pair + g.width, g.width, low);
            }
        }
        return image;
    }

    static std::vector<std::uint8_t> Points(const WaveformImage& image) {
        return {image.Data(), image.Data() + image.Size()};
    }

    static std::size_t NotExactPoints(const WaveformImage& image, const SoundInfo& info) {
        const ImageGeometry g = GeometryOf(info, image.framesPerPoint);
        std::size_t n = 0;
        for (std::uint64_t p = 0; p < image.Size() / g.PointBytes(); ++p)
            n += PointExact(image.Data() + p * g.PointBytes(), g) ? 0 : 1;
        return n;
    }
};

}  // namespace pelmora::test
