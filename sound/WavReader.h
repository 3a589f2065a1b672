#pragma once
// Reading a WAV working file into the document's SoundInfo: format, data position, frames,
// loop, instrument data and the 'smpl' chunk as stored.

#include <vector>

#include "platform/File.h"
#include "sound/SoundInfo.h"

namespace pelmora::wav {

enum class ChunkRead { Absent, Present, ReadError };

// The 'smpl' chunk: its header, the loop records it holds, and the first one as a loop.
struct SampleLoopChunk {
    WavSmplHeader header;
    std::vector<WavLoopRecord> loops;
    WavSampleLoop firstLoop;
    bool loopOn = false;
};

// The loop records taken are bounded by what the chunk holds, whatever its count says.
// ReadError when the chunk is shorter than its 36-byte header.
ChunkRead ReadSampleLoop(const platform::File& file, SampleLoopChunk& chunk);

// Accepts the standard 7-byte chunk and the 8-byte one. ReadError when shorter.
ChunkRead ReadInstrument(const platform::File& file, WavInstrument& instrument);

// The cue points of 'cue ', bounded by what the chunk holds. A chunk too short for its count
// field reads as one without cue points: they are kept, not needed to open the sound.
std::vector<WavCuePoint> ReadCuePoints(const platform::File& file);

// Fills the format, data offset and end, frames, working file length, loop, instrument,
// 'smpl' and 'cue ' fields. Frames count only the data the file holds. Raises Error with the message of
// the failure ("Data error", "File read error", "Unknown Wave PCM format...").
void ReadIntoDocument(const platform::File& file, SoundInfo& info);

}  // namespace pelmora::wav
