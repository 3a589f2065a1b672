#pragma once
// Writing the sound file that the New command opens as a document: a WAV or AIFF header and
// the initial data, generated block by block with ESC polled between blocks.

#include <cstdint>
#include <string>

#include "base/ProgressTask.h"
#include "sound/FileType.h"

namespace pelmora {

// The "Initial Data" choices, in the order of their profile values.
enum class InitialData { Silence = 0, DiskGarbage = 1, Sine = 2, Triangle = 3, Sawtooth = 4, Square = 5 };

inline constexpr bool IsWaveform(InitialData data) {
    return data != InitialData::Silence && data != InitialData::DiskGarbage;
}

struct NewSoundRequest {
    FileType fileType = FileType::Wav;
    std::uint16_t channels = 2;
    std::uint16_t bits = 16;
    std::uint32_t rate = 44100;
    InitialData data = InitialData::Silence;
    std::uint32_t amplitude = 0;  // peak value of a waveform, 0 … 2^(W−1) − 1
    std::uint32_t frequency = 0;  // Hz, waveforms only
    std::uint32_t frames = 0;
};

// Frame i of a waveform sits at phase (i × frequency) mod rate, for any i and frequency.
std::uint32_t PhaseOfFrame(std::uint64_t frame, std::uint64_t frequency, std::uint32_t rate);

// One waveform sample at phase p (0 ≤ p < rate) with peak `amplitude`: hi = A, lo = −A − 1.
std::int32_t WaveformValue(InitialData form, std::uint32_t phase, std::uint32_t rate,
                           std::uint32_t amplitude);

// Creates UniqueTempName(workDir, "OLM_NEW_", ".WAV" or ".AIF") holding the new sound and
// returns its path. ESC removes the file and raises Cancelled; any failure removes it and
// raises Error ("File creating error" for a file that cannot be made or written).
std::string CreateNewSoundFile(const NewSoundRequest& request, const std::string& workDir,
                               ProgressTask& progress);

}  // namespace pelmora
