#pragma once
// The chunks of Time Comp/Exp: a chunk of input frames becomes a planned number of output
// frames by dropping (compression) or repeating (expansion) spliced segments. Each segment stays
// inside the chunk's input and output, so that the run ends with exactly the planned frames.

#include <cstdint>
#include <vector>

#include "edit/SpliceMath.h"

namespace pelmora {

// Frames of every channel, one channel after the other.
struct PlanarFrames {
    std::size_t channels = 1;
    std::size_t capacity = 0;
    std::vector<std::int32_t> samples;

    void Reserve(std::size_t channelCount, std::size_t frames) {
        channels = channelCount;
        capacity = frames;
        samples.assign(channels * capacity, 0);
    }
    std::int32_t* Channel(std::size_t c) { return samples.data() + c * capacity; }
    const std::int32_t* Channel(std::size_t c) const { return samples.data() + c * capacity; }
    std::int64_t Sum(std::int64_t frame) const {
        std::int64_t sum = 0;
        for (std::size_t c = 0; c < channels; ++c) sum += samples[c * capacity + static_cast<std::size_t>(frame)];
        return sum;
    }
};

struct ChunkResult {
    std::int64_t consumed = 0;  // input frames used
    std::int64_t produced = 0;  // output frames made
};

// Compression (q < 1): input frames 0 … inFrames − 1 make output frames from 0 on, at most
// outFrames. A chunk that is not `last` may stop early and leave its remainder to the next.
ChunkResult CompressChunk(const PlanarFrames& in, std::int64_t inFrames, PlanarFrames& out,
                          std::int64_t outFrames, bool last, double q, splice::SampleRange clamp);

// Expansion (q ≥ 1), worked from the chunk's end: the output made is out[outFrames −
// produced … outFrames − 1] from in[inFrames − consumed … inFrames − 1].
ChunkResult ExpandChunk(const PlanarFrames& in, std::int64_t inFrames, PlanarFrames& out,
                        std::int64_t outFrames, bool last, double q, splice::SampleRange clamp);

}  // namespace pelmora
