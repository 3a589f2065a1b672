#pragma once
// The frame positions a sound file carries besides the document's loop: every loop record of
// 'smpl', both frame fields of every 'cue ' point, and every AIFF marker. Edits, resampling and
// time changes move them all with a rule for one position; the header rewrite puts them back
// into their chunks in place (WriteMarkerPositions of the WAV and AIFF updaters).

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "sound/SoundInfo.h"

namespace pelmora {

// Where one frame position lands after a change of the sound.
using PositionRule = std::function<std::uint32_t(std::uint32_t)>;

// Moves every position of `info` by `rule`, then keeps it within the sound, whose frame count
// `info.frames` already is the new one. WAV fields name frames: one past the new end becomes
// the last frame. AIFF markers lie between frames: the end itself is a place for them.
// A loop record moves its start and its end + 1 (the frame after it); one whose start passes
// its end becomes start = end and stays, with its id. Of a cue point's position and sample
// offset, a field that is 0 while the other holds the frame stays 0.
void MoveMarkers(SoundInfo& info, const PositionRule& rule);

// Resampling: the integer part of position × ratio.
std::uint32_t ScalePosition(std::uint32_t position, double ratio);
void ScaleMarkers(SoundInfo& info, double ratio);

// What an undo or redo record keeps of the positions.
struct MarkerPositions {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> loops;  // start, last frame
    std::vector<std::pair<std::uint32_t, std::uint32_t>> cues;   // position, sample offset
    std::vector<std::uint32_t> marks;
    bool operator==(const MarkerPositions&) const = default;
};
MarkerPositions TakeMarkerPositions(const SoundInfo& info);
// Puts them back, for as many loops, cue points and markers as the sound still has.
void RestoreMarkerPositions(SoundInfo& info, const MarkerPositions& positions);

}  // namespace pelmora
