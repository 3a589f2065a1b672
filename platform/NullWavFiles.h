#pragma once
// The null device's files: OUT.wav, a PCM WAV in the device format whose sizes are patched when
// it closes, and IN.wav, whose data chunk is read as frames of the device format.

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/Wave.h"

namespace pelmora::platform {

class NullWavWriter {
public:
    NullWavWriter() = default;
    ~NullWavWriter() { Close(); }
    NullWavWriter(const NullWavWriter&) = delete;
    NullWavWriter& operator=(const NullWavWriter&) = delete;

    // False when the file cannot be created.
    bool Open(const std::string& path, const WaveFormat& format);
    void Append(const std::uint8_t* data, std::size_t bytes);
    // Patches the RIFF and data sizes.
    void Close();

private:
    std::FILE* file_ = nullptr;
    std::uint64_t dataBytes_ = 0;
};

class NullWavReader {
public:
    NullWavReader() = default;
    ~NullWavReader();
    NullWavReader(const NullWavReader&) = delete;
    NullWavReader& operator=(const NullWavReader&) = delete;

    // A missing or empty path, or a file without data, reads as no frames. False when the file
    // holds PCM of another channel count or width than `format`.
    bool Open(const std::string& path, const WaveFormat& format);
    // Copies frames [first, first + count) that the file holds into `out`; the rest is left.
    void Read(std::uint64_t firstFrame, std::uint64_t frames, std::uint8_t* out);

private:
    std::FILE* file_ = nullptr;
    std::uint64_t dataOffset_ = 0;
    std::uint64_t frames_ = 0;
    std::uint32_t blockAlign_ = 1;
};

}  // namespace pelmora::platform
