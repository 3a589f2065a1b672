#include "sound/SoundMarkers.h"

#include <algorithm>
#include <limits>
#include <tuple>

#include "sound/AiffMarkers.h"
#include "sound/Bytes.h"

namespace pelmora {

namespace {

void MoveLoop(WavLoopRecord& loop, const PositionRule& rule, std::uint32_t lastFrame) {
    // The frame after the loop. An empty loop is stored with its end one before its start, so
    // an end of 0xFFFFFFFF is the frame before 0: the sum wraps on purpose.
    const std::uint32_t after = loop.end + 1u;
    const std::uint32_t start = rule(loop.start), movedAfter = rule(after);
    const bool empty = after <= loop.start;
    if (start == loop.start && movedAfter == after && loop.start <= lastFrame && (loop.end <= lastFrame || empty)) {
        return;  // untouched, an empty or odd record as it was
    }
    loop.start = std::min(start, lastFrame);
    loop.end = std::min(movedAfter == 0 ? 0 : movedAfter - 1, lastFrame);
    if (loop.end < loop.start) loop.end = loop.start;
}

void MoveCue(WavCuePoint& cue, const PositionRule& rule, std::uint32_t lastFrame) {
    // Sample sets keep the frame in the sample offset and 0 in the position; others the reverse.
    const bool positionUnused = cue.position == 0 && cue.sampleOffset != 0;
    const bool offsetUnused = cue.sampleOffset == 0 && cue.position != 0;
    if (!positionUnused) cue.position = std::min(rule(cue.position), lastFrame);
    if (!offsetUnused) cue.sampleOffset = std::min(rule(cue.sampleOffset), lastFrame);
}

// Rewrites the position fields of a MARK body, leaving every other byte as it is.
template <typename Change>
void ChangeMarkPositions(std::vector<std::uint8_t>& body, Change change) {
    const std::vector<std::size_t> offsets = MarkerPositionOffsets(body);
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        std::uint8_t* field = body.data() + offsets[i];
        StoreBE32(field, change(i, LoadBE32(field)));
    }
}

}  // namespace

void MoveMarkers(SoundInfo& info, const PositionRule& rule) {
    const std::uint32_t lastFrame = info.frames == 0 ? 0 : info.frames - 1;
    for (WavLoopRecord& loop : info.wavSmplLoops) MoveLoop(loop, rule, lastFrame);
    for (WavCuePoint& cue : info.wavCuePoints) MoveCue(cue, rule, lastFrame);
    ChangeMarkPositions(info.aiffMarkBody, [&](std::size_t, std::uint32_t position) {
        return std::min(rule(position), info.frames);
    });
}

std::uint32_t ScalePosition(std::uint32_t position, double ratio) {
    const double scaled = static_cast<double>(position) * ratio;
    if (!(scaled > 0)) return 0;
    if (scaled >= static_cast<double>(std::numeric_limits<std::uint32_t>::max()))
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(scaled);
}

void ScaleMarkers(SoundInfo& info, double ratio) {
    MoveMarkers(info, [ratio](std::uint32_t p) { return ScalePosition(p, ratio); });
}

MarkerPositions TakeMarkerPositions(const SoundInfo& info) {
    MarkerPositions positions;
    for (const WavLoopRecord& loop : info.wavSmplLoops) positions.loops.emplace_back(loop.start, loop.end);
    for (const WavCuePoint& cue : info.wavCuePoints) positions.cues.emplace_back(cue.position, cue.sampleOffset);
    for (const AiffMarker& marker : ParseMarkBody(info.aiffMarkBody)) positions.marks.push_back(marker.position);
    return positions;
}

void RestoreMarkerPositions(SoundInfo& info, const MarkerPositions& positions) {
    const std::size_t loops = std::min(info.wavSmplLoops.size(), positions.loops.size());
    for (std::size_t i = 0; i < loops; ++i)
        std::tie(info.wavSmplLoops[i].start, info.wavSmplLoops[i].end) = positions.loops[i];
    const std::size_t cues = std::min(info.wavCuePoints.size(), positions.cues.size());
    for (std::size_t i = 0; i < cues; ++i)
        std::tie(info.wavCuePoints[i].position, info.wavCuePoints[i].sampleOffset) = positions.cues[i];
    ChangeMarkPositions(info.aiffMarkBody, [&](std::size_t i, std::uint32_t position) {
        return i < positions.marks.size() ? positions.marks[i] : position;
    });
}

}  // namespace pelmora
