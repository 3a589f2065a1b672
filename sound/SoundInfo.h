#pragma once
// The per-sound record the document keeps: format, data position, loop, instrument data and
// the raw loop and marker chunks of the file.

#include <array>
#include <cstdint>
#include <vector>

#include "sound/FileType.h"

namespace pelmora {

struct WavInstrument {
    std::uint8_t unityNote = 60;
    std::int8_t fineTune = 0;  // cents
    std::uint8_t lowNote = 0;
    std::uint8_t highNote = 127;
    std::uint8_t lowVelocity = 1;
    std::uint8_t highVelocity = 127;
    std::int8_t gain = 0;  // dB
    bool operator==(const WavInstrument&) const = default;
};

struct WavSampleLoop {
    std::uint32_t looping = 0;    // 1 when the play count is not 1
    std::uint32_t playCount = 1;  // 0 endless
    std::uint32_t start = 0;
    std::uint32_t endPlusOne = 0;
    bool operator==(const WavSampleLoop&) const = default;
};

// The nine 32-bit fields of a 'smpl' chunk header.
struct WavSmplHeader {
    std::uint32_t manufacturer = 0;
    std::uint32_t product = 0;
    std::uint32_t samplePeriod = 0;
    std::uint32_t midiUnityNote = 0;
    std::uint32_t midiPitchFraction = 0;
    std::uint32_t smpteFormat = 0;
    std::uint32_t smpteOffset = 0;
    std::uint32_t loopCount = 0;
    std::uint32_t samplerDataSize = 0;
    bool operator==(const WavSmplHeader&) const = default;
};

// One 24-byte loop record of a 'smpl' chunk; `end` is the last frame, inclusive.
struct WavLoopRecord {
    std::uint32_t cuePointId = 0;
    std::uint32_t type = 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t fraction = 0;
    std::uint32_t playCount = 1;
    bool operator==(const WavLoopRecord&) const = default;
};

// One 24-byte cue point of a 'cue ' chunk. Files put the frame in the position, in the sample
// offset, or in both.
struct WavCuePoint {
    std::uint32_t id = 0;
    std::uint32_t position = 0;
    std::uint32_t chunkId = 0;
    std::uint32_t chunkStart = 0;
    std::uint32_t blockStart = 0;
    std::uint32_t sampleOffset = 0;
    bool operator==(const WavCuePoint&) const = default;
};

inline constexpr std::size_t kAiffInstBodyBytes = 20;

struct SoundInfo {
    FileType fileType = FileType::Wav;
    std::uint32_t dataOffset = 0;
    std::uint32_t dataEnd = 0;
    std::uint16_t channels = 1;
    std::uint16_t bitsPerSample = 16;
    std::uint16_t bytesPerSample = 2;
    std::uint16_t blockAlign = 2;
    std::uint32_t sampleRate = 44100;
    std::uint32_t frames = 0;
    std::uint32_t workingFileLength = 0;
    std::uint16_t channelFirst = 0;  // half-open range of the channels edits apply to
    std::uint16_t channelEnd = 1;
    bool loopOn = false;
    bool savedLoopOn = false;
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;  // exclusive
    std::uint32_t savedLoopStart = 0;
    std::uint32_t savedLoopEnd = 0;
    WavSampleLoop wavFirstLoop;
    WavInstrument instrument;
    bool aiffHasInst = false;
    bool aiffHasMark = false;
    std::array<std::uint8_t, kAiffInstBodyBytes> aiffInstBody{};
    std::vector<std::uint8_t> aiffMarkBody;
    bool wavHasInst = false;
    bool wavHasSmpl = false;
    WavSmplHeader wavSmplHeader;
    std::vector<WavLoopRecord> wavSmplLoops;
    std::vector<WavCuePoint> wavCuePoints;  // of the 'cue ' chunk, as the file holds them
    bool unsigned8Bit = false;
    bool littleEndian = true;
};

inline std::uint16_t BytesPerSampleFor(std::uint16_t bits) {
    return static_cast<std::uint16_t>((bits + 7) / 8);
}

// Recomputes bytes per sample, block align, data end and the encoding flags from the format.
void UpdateDerivedFormat(SoundInfo& info);

// Keeps loop start ≤ loop end ≤ frames; a loop whose start passes its end becomes the whole sound.
void ClampLoop(SoundInfo& info);

// The byte that is silence in this sound's working file.
inline std::uint8_t SilenceByte(const SoundInfo& info) { return info.unsigned8Bit ? 0x80 : 0x00; }

inline std::uint64_t DataBytes(const SoundInfo& info) {
    return static_cast<std::uint64_t>(info.frames) * info.blockAlign;
}

}  // namespace pelmora
