#include "sound/SampleConvert.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "sound/SampleCodec.h"

namespace pelmora {

void ConvertBufferType(FileType, int bytesPerSample, std::uint8_t* buffer,
                       std::size_t byteCount) {
    if (bytesPerSample < 1 || bytesPerSample > 4) return;
    const std::size_t samples = byteCount / static_cast<std::size_t>(bytesPerSample);
    // Both directions are the same byte operation: reverse the bytes, or flip 8-bit sign bits.
    if (bytesPerSample == 1) {
        for (std::size_t i = 0; i < samples; ++i) buffer[i] ^= 0x80;
        return;
    }
    for (std::size_t i = 0; i < samples; ++i) {
        std::uint8_t* p = buffer + i * static_cast<std::size_t>(bytesPerSample);
        std::reverse(p, p + bytesPerSample);
    }
}

void ConvertSampleBlock(FileType fromType, int fromBytes, const std::uint8_t* from,
                        FileType toType, int toBytes, std::uint8_t* to, std::size_t samples) {
    WithSampleCodec(fromType, fromBytes, [&](auto source) {
        WithSampleCodec(toType, toBytes, [&](auto target) {
            constexpr int kFrom = decltype(source)::kBytes;
            constexpr int kTo = decltype(target)::kBytes;
            for (std::size_t i = 0; i < samples; ++i) {
                std::int32_t v = source.Read(from + i * kFrom);
                target.Write(to + i * kTo, ConvertSampleWidth(v, kFrom, kTo));
            }
        });
    });
}

double ReadFloatSample(FileType type, const std::uint8_t* p) {
    if (type != FileType::Wav) return 0.0;
    std::uint32_t bits = static_cast<std::uint32_t>(SampleCodec<FileType::Wav, 4>::Read(p));
    if (bits == 0) return 0.0;
    double y = static_cast<double>(std::bit_cast<float>(bits)) * 2147483648.0;
    if (y != y) return 0.0;  // a NaN has no integer value
    if (y / 65536.0 > 32767.0) return 2147418112.0;
    if (y / 65536.0 < -32768.0) return -2147483648.0;
    return y;
}

void WriteFloatSample(FileType type, std::uint8_t* p, std::int32_t v) {
    float value = type == FileType::Wav
                      ? static_cast<float>(static_cast<double>(v) * 4.656612873077393e-10)
                      : 0.0f;
    SampleCodec<FileType::Wav, 4>::Write(p, static_cast<std::int32_t>(std::bit_cast<std::uint32_t>(value)));
}

}  // namespace pelmora
