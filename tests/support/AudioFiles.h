#pragma once
// Sounds whose every frame says which frame it is, for comparing what a device played or
// recorded frame for frame, and the null audio device chosen for a test's lifetime.

#include <cstdint>
#include <string>
#include <vector>

namespace pelmora::test {

// A 16-bit PCM WAV whose frame i holds i % 30000 in the first channel and i / 30000 in the
// second (mono: i % 30000), plus `offset` in both.
void WriteIndexWav(const std::string& path, std::uint32_t rate, int channels, std::uint32_t frames,
                   int offset = 1);
// The data chunk of a PCM WAV file (empty when there is none).
std::vector<std::uint8_t> WavData(const std::string& path);
// The 16-bit samples of a data chunk.
std::vector<std::int16_t> Samples16(const std::vector<std::uint8_t>& data);

// PELMORA_AUDIO=null[:IN[:OUT]] while it lives; the variable is removed afterwards.
class NullAudio {
public:
    NullAudio(const std::string& in, const std::string& out);
    ~NullAudio();
    NullAudio(const NullAudio&) = delete;
    NullAudio& operator=(const NullAudio&) = delete;
};

}  // namespace pelmora::test
