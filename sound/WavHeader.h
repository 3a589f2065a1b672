#pragma once
// The header-only WAV reader behind the open-file panel and the pre-open check.

#include <cstdint>
#include <string>

namespace pelmora::wav {

struct WavHeaderInfo {
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t bytesPerSample = 0;
    std::uint16_t blockAlign = 0;
    std::uint32_t frames = 0;  // as the 'data' size declares, for the check against the file
    std::uint64_t dataOffset = 0;  // where the frames start
    std::uint16_t loopOn = 0;
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;  // exclusive; not clamped
};

// Raises Error: "File read error" when the file cannot be opened or its 'fmt ' is short,
// "Audio data error - cannot open this file." without the WAVE form, 'fmt ' or 'data',
// "Unknown Wave PCM format...". A short 'smpl' counts as no loop.
WavHeaderInfo ReadHeader(const std::string& path);

}  // namespace pelmora::wav
