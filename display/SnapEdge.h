#pragma once
// Snapping a selection or loop edge to the nearest zero crossing or to the level of a
// reference frame, searching the working copy from the edge toward another frame.

#include <chrono>
#include <cstdint>
#include <optional>

#include "document/COLMDoc.h"
#include "sound/FrameTransfer.h"

namespace pelmora {

enum class SnapMode : std::uint16_t { None = 0, ZeroCross = 1, Level = 2 };

inline constexpr std::chrono::milliseconds kSnapTimeLimit{500};

struct SnapRequest {
    SnapMode mode = SnapMode::None;
    std::uint32_t from = 0;    // the edge
    std::uint32_t toward = 0;  // the search ends here
    ChannelRange channels;
    std::chrono::milliseconds limit = kSnapTimeLimit;
};

// The frame the search finds, or nothing when it finds none within the distance or the time
// limit. Raises "File read error" when the working copy cannot be read.
std::optional<std::uint32_t> SearchSnap(const COLMDoc& doc, const SnapRequest& request);
// `SnapEdge`: the found frame, or the edge itself.
std::uint32_t SnapEdge(const COLMDoc& doc, const SnapRequest& request);

// Auto-snap of a point click (Zero Cross only): searches toward the old selection's nearer edge,
// moved one frame toward the click, and when nothing lies there, away from it to the sound's
// start or end.
std::uint32_t SnapPointClick(const COLMDoc& doc, SnapMode mode, std::uint32_t click,
                             std::uint32_t oldStart, std::uint32_t oldEnd, ChannelRange channels);

struct SnappedDrag {
    std::uint32_t anchor = 0;
    std::uint32_t moving = 0;
};
// Auto-snap after a drag: the moving end searches toward the anchor; in Zero Cross mode without
// Shift the anchor then searches toward the snapped moving end.
SnappedDrag SnapDrag(const COLMDoc& doc, SnapMode mode, std::uint32_t anchor, std::uint32_t moving,
                     bool shiftHeld, ChannelRange channels);

}  // namespace pelmora
