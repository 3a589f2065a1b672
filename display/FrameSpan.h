#pragma once
// Spans of frames: moving a selection or loop that keeps its length (it never leaves the sound),
// and whether a sound has loop markers.

#include <algorithm>
#include <cstdint>

namespace pelmora {

struct FrameSpan {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

// `length` frames from `start`, moved back so that they end at the frame count at most.
inline FrameSpan SpanFrom(std::uint32_t start, std::uint32_t length, std::uint32_t frames) {
    length = std::min(length, frames);
    start = std::min(start, frames - length);
    return {start, start + length};
}

// `length` frames ending at `end` (at most the frame count); from frame 0 when `end` comes
// before the length.
inline FrameSpan SpanUntil(std::uint32_t end, std::uint32_t length, std::uint32_t frames) {
    length = std::min(length, frames);
    end = std::clamp(end, length, frames);
    return {end - length, end};
}

// A sound without a loop has both loop points at frame 0; any other pair, even an empty one
// elsewhere, is a loop the markers show.
inline bool HasLoopMarkers(std::uint32_t loopStart, std::uint32_t loopEnd) { return loopStart != 0 || loopEnd != 0; }

}  // namespace pelmora
