#pragma once
// The plain WAV files the MP3 commands write for themselves (a 44-byte header: "RIFF", "fmt "
// of 16 bytes, "data"), and the reading of the WAV file the encoder is fed from.

#include <cstdint>
#include <string>

#include "platform/File.h"

namespace pelmora {

inline constexpr std::uint32_t kPlainWavHeaderBytes = 44;
inline constexpr std::uint16_t kWavFormatPcm = 1;
inline constexpr std::uint16_t kWavFormatFloat = 3;

struct PlainWavFormat {
    std::uint16_t formatTag = kWavFormatPcm;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 16;
    std::uint16_t BlockAlign() const {
        return static_cast<std::uint16_t>(bitsPerSample / 8 * channels);
    }
};

// Writes the header for `dataBytes` of data at the start of the file; false when it fails.
bool WritePlainWavHeader(platform::File& file, const PlainWavFormat& format,
                         std::uint32_t dataBytes);

// What the encoder needs of a WAV file: its "fmt " and where its data lie.
struct WavForEncoder {
    PlainWavFormat format;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0;  // whole frames that the file holds
};

// Finds the RIFF form "WAVE", 16 bytes of its "fmt " and its "data". Raises "Can't open Undo
// file!" when the file does not open, "Failed to read undo file." when a chunk is missing.
WavForEncoder ReadWavForEncoder(const std::string& path);

}  // namespace pelmora
