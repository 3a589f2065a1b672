#pragma once
// Reading and writing one sample in a file's own encoding. The width and type are template
// parameters, so a block loop written against a SampleCodec compiles to straight-line code;
// WithSampleCodec picks the codec once per block, never per sample.

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "sound/FileType.h"

namespace pelmora {

template <FileType Type, int Bytes>
struct SampleCodec {
    static_assert(Bytes >= 1 && Bytes <= 4);
    static constexpr FileType kType = Type;
    static constexpr int kBytes = Bytes;
    static constexpr std::int32_t kMin = -(std::int32_t{1} << (Bytes * 8 - 2)) * 2;
    static constexpr std::int32_t kMax = -(kMin + 1);

    static std::int32_t Read(const std::uint8_t* p) {
        if constexpr (Bytes == 1) {
            return Type == FileType::Wav ? static_cast<std::int8_t>(p[0] ^ 0x80)
                                         : static_cast<std::int8_t>(p[0]);
        } else {
            std::uint32_t u = 0;
            for (int i = 0; i < Bytes; ++i) {
                const int byteIndex = Type == FileType::Wav ? i : Bytes - 1 - i;
                u |= static_cast<std::uint32_t>(p[byteIndex]) << (8 * i);
            }
            // Sign-extend from the top stored bit.
            constexpr int shift = 32 - 8 * Bytes;
            return static_cast<std::int32_t>(u << shift) >> shift;
        }
    }

    // Stores the low bytes of v; no clipping.
    static void Write(std::uint8_t* p, std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        if constexpr (Bytes == 1) {
            p[0] = static_cast<std::uint8_t>(Type == FileType::Wav ? u + 128 : u);
        } else {
            for (int i = 0; i < Bytes; ++i) {
                const int byteIndex = Type == FileType::Wav ? i : Bytes - 1 - i;
                p[byteIndex] = static_cast<std::uint8_t>(u >> (8 * i));
            }
        }
    }
};

// Calls f(SampleCodec<type, bytes>{}) and returns its result; a width outside 1 … 4 calls
// nothing and returns the default value of the result type.
template <typename F>
decltype(auto) WithSampleCodec(FileType type, int bytesPerSample, F&& f) {
    using Result = decltype(f(SampleCodec<FileType::Wav, 2>{}));
    const bool wav = type == FileType::Wav;
    switch (bytesPerSample) {
    case 1: return wav ? f(SampleCodec<FileType::Wav, 1>{}) : f(SampleCodec<FileType::Aiff, 1>{});
    case 2: return wav ? f(SampleCodec<FileType::Wav, 2>{}) : f(SampleCodec<FileType::Aiff, 2>{});
    case 3: return wav ? f(SampleCodec<FileType::Wav, 3>{}) : f(SampleCodec<FileType::Aiff, 3>{});
    case 4: return wav ? f(SampleCodec<FileType::Wav, 4>{}) : f(SampleCodec<FileType::Aiff, 4>{});
    default:
        if constexpr (std::is_void_v<Result>) return;
        else return Result{};
    }
}

// The per-width readers and writers.
inline std::int32_t ReadSample8(FileType t, const std::uint8_t* p) {
    return t == FileType::Wav ? SampleCodec<FileType::Wav, 1>::Read(p)
                              : SampleCodec<FileType::Aiff, 1>::Read(p);
}
inline std::int32_t ReadSample16(FileType t, const std::uint8_t* p) {
    return t == FileType::Wav ? SampleCodec<FileType::Wav, 2>::Read(p)
                              : SampleCodec<FileType::Aiff, 2>::Read(p);
}
inline std::int32_t ReadSample24(FileType t, const std::uint8_t* p) {
    return t == FileType::Wav ? SampleCodec<FileType::Wav, 3>::Read(p)
                              : SampleCodec<FileType::Aiff, 3>::Read(p);
}
inline std::int32_t ReadSample32(FileType t, const std::uint8_t* p) {
    return t == FileType::Wav ? SampleCodec<FileType::Wav, 4>::Read(p)
                              : SampleCodec<FileType::Aiff, 4>::Read(p);
}

// Any width: 1 … 4 bytes; other widths read 0 and write nothing.
inline std::int32_t ReadSample(FileType type, int bytesPerSample, const std::uint8_t* p) {
    return WithSampleCodec(type, bytesPerSample, [p](auto codec) { return codec.Read(p); });
}
inline void WriteSample(FileType type, int bytesPerSample, std::uint8_t* p, std::int32_t v) {
    WithSampleCodec(type, bytesPerSample, [p, v](auto codec) { codec.Write(p, v); });
}

}  // namespace pelmora
