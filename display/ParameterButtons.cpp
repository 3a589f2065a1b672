#include "display/ParameterButtons.h"

#include <algorithm>
#include <cmath>

#include "display/FrameSpan.h"
#include "document/LoopFlag.h"

namespace pelmora {

namespace {

bool LoopExists(const SoundInfo& info) { return HasLoopMarkers(info.loopStart, info.loopEnd); }

// The next lock state of a position button (0 or 2 → 1, 1 → 0) and of a length button
// (0 ↔ 2, nothing under a position lock).
std::uint32_t PositionToggled(std::uint32_t lock) { return lock == kLockPosition ? kLockNone : kLockPosition; }

bool ToggleLength(std::uint32_t& lock) {
    if (lock == kLockPosition) return false;
    lock = lock == kLockLength ? kLockNone : kLockLength;
    return true;
}

bool SelectionLockable(const COLMDoc& doc, Transport transport) {
    return doc.selectionEnd > doc.selectionStart && transport == Transport::Idle;
}

bool LoopLockable(const COLMDoc& doc) { return doc.Info().loopEnd > doc.Info().loopStart; }

struct LoopPoints {
    std::uint32_t start, end;
};

ChannelRange AllChannels(const SoundInfo& info) { return {0, info.channels}; }

}  // namespace

bool ToggleSelectionPositionLock(COLMDoc& doc, Transport transport) {
    if (!SelectionLockable(doc, transport)) return false;
    doc.selectionLock = PositionToggled(doc.selectionLock);
    return true;
}

bool ToggleSelectionLengthLock(COLMDoc& doc, Transport transport) {
    return SelectionLockable(doc, transport) && ToggleLength(doc.selectionLock);
}

bool ToggleLoopPositionLock(COLMDoc& doc) {
    if (!LoopLockable(doc)) return false;
    doc.loopLock = PositionToggled(doc.loopLock);
    return true;
}

bool ToggleLoopLengthLock(COLMDoc& doc) { return LoopLockable(doc) && ToggleLength(doc.loopLock); }

LoopCatch CatchLoopStart(COLMDoc& doc, SnapMode snapMode, Transport transport) {
    SoundInfo& info = doc.Info();
    const std::uint32_t cursor = doc.playCursor;
    if (info.loopStart == cursor || doc.loopLock == kLockPosition) return {};
    const LoopPoints before{info.loopStart, info.loopEnd};
    if (doc.loopLock == kLockLength) {
        const FrameSpan span = SpanFrom(cursor, info.loopEnd - info.loopStart, info.frames);
        info.loopStart = span.start;
        info.loopEnd = span.end;
    } else if (!LoopExists(info)) {
        info.loopStart = info.loopEnd = cursor;
    } else {
        info.loopStart = std::min(cursor, info.loopEnd);
        if (transport == Transport::Idle)
            info.loopStart = SnapEdge(doc, {snapMode, info.loopStart, info.loopEnd, AllChannels(info)});
    }
    SwitchOnCreatedLoop(info, before.start, before.end);
    const bool changed = info.loopStart != before.start || info.loopEnd != before.end;
    return {changed, changed && transport == Transport::Playing && info.loopEnd >= cursor};
}

LoopCatch CatchLoopEnd(COLMDoc& doc, SnapMode snapMode, Transport transport) {
    SoundInfo& info = doc.Info();
    const std::uint32_t cursor = doc.playCursor;
    if (info.loopEnd == cursor || doc.loopLock == kLockPosition) return {};
    const LoopPoints before{info.loopStart, info.loopEnd};
    if (doc.loopLock == kLockLength) {
        const FrameSpan span = SpanUntil(cursor, info.loopEnd - info.loopStart, info.frames);
        info.loopStart = span.start;
        info.loopEnd = span.end;
    } else if (!LoopExists(info)) {
        info.loopStart = info.loopEnd = cursor;
    } else {
        info.loopEnd = std::max(cursor, info.loopStart);
        if (transport == Transport::Idle)
            info.loopEnd = SnapEdge(doc, {snapMode, info.loopEnd, info.loopStart, AllChannels(info)});
    }
    SwitchOnCreatedLoop(info, before.start, before.end);
    const bool changed = info.loopStart != before.start || info.loopEnd != before.end;
    return {changed, changed && transport == Transport::Playing};
}

int HorizontalStepOf(const COLMDoc& doc) {
    const double zoom = doc.view.horizontalZoom;
    if (const int step = StepOfHorizontalZoom(zoom)) return step;
    return std::clamp(18 - static_cast<int>(std::lround(std::log2(zoom))), 1, kHorizontalSteps);
}

bool SetHorizontalStep(COLMDoc& doc, int step, const PaneContext& pane) {
    return SetZoom(doc, HorizontalZoomOfStep(step), doc.view.verticalZoom, pane);
}

bool SetVerticalStep(COLMDoc& doc, int step, const PaneContext& pane) {
    return SetZoom(doc, doc.view.horizontalZoom, VerticalZoomOfStep(step), pane);
}

}  // namespace pelmora
