#include "display/SelectionGesture.h"

#include <algorithm>

#include "display/FrameSpan.h"
#include "document/LoopFlag.h"

namespace pelmora {

namespace {

bool Busy(Transport transport) { return transport != Transport::Idle; }


void SetChannels(COLMDoc& doc, ChannelRange channels) {
    doc.Info().channelFirst = channels.first;
    doc.Info().channelEnd = std::min<std::uint16_t>(channels.end, doc.Info().channels);
}

}  // namespace

ChannelRange ChannelsBetween(std::uint16_t a, std::uint16_t b) {
    return {std::min(a, b), static_cast<std::uint16_t>(std::max(a, b) + 1)};
}

std::optional<SelectionGesture> SelectionGesture::Press(COLMDoc& doc, std::uint32_t frame, std::uint16_t channel,
                                                        bool shift, Transport transport) {
    if (Busy(transport) || doc.selectionLock == 1) return std::nullopt;
    channel = std::min<std::uint16_t>(channel, static_cast<std::uint16_t>(std::max(1, int(doc.Info().channels)) - 1));
    frame = std::min(frame, doc.Info().frames);
    SelectionGesture g;
    g.oldStart_ = doc.selectionStart;
    g.oldEnd_ = doc.selectionEnd;
    g.startChannel_ = channel;
    g.anchor_ = g.moving_ = frame;
    if (doc.selectionLock == 2) {
        g.lengthLocked_ = true;
        g.lockedLength_ = doc.selectionEnd - doc.selectionStart;
    } else if (shift) {
        g.shift_ = true;
        const std::uint32_t s = doc.selectionStart, e = doc.selectionEnd;
        const bool movesEnd = frame > e || (frame >= s && std::uint64_t(frame) * 2 > std::uint64_t(s) + e);
        g.anchor_ = movesEnd ? s : e;
        g.startChannel_ = doc.Info().channelFirst;
    }
    g.Apply(doc, channel);
    return g;
}

void SelectionGesture::Apply(COLMDoc& doc, std::uint16_t channel) {
    channel = std::min<std::uint16_t>(channel, static_cast<std::uint16_t>(std::max(1, int(doc.Info().channels)) - 1));
    if (lengthLocked_) {
        const FrameSpan span = SpanFrom(moving_, lockedLength_, doc.Info().frames);
        doc.selectionStart = span.start;
        doc.selectionEnd = span.end;
        SetChannels(doc, {channel, static_cast<std::uint16_t>(channel + 1)});
        return;
    }
    doc.selectionStart = std::min(anchor_, moving_);
    doc.selectionEnd = std::max(anchor_, moving_);
    SetChannels(doc, ChannelsBetween(startChannel_, channel));
}

void SelectionGesture::Drag(COLMDoc& doc, std::uint32_t frame, std::uint16_t channel) {
    frame = std::min(frame, doc.Info().frames);
    if (frame != moving_) dragged_ = true;
    moving_ = frame;
    Apply(doc, channel);
}

void SelectionGesture::Release(COLMDoc& doc, std::uint32_t frame, std::uint16_t channel, SnapMode mode) {
    Drag(doc, frame, channel);
    doc.view.currentPosition = lengthLocked_ ? doc.selectionStart : moving_;
    if (lengthLocked_ || mode == SnapMode::None) return;
    const ChannelRange channels{doc.Info().channelFirst, doc.Info().channelEnd};
    if (!shift_ && !dragged_ && anchor_ == moving_) {
        const std::uint32_t point = SnapPointClick(doc, mode, moving_, oldStart_, oldEnd_, channels);
        doc.selectionStart = doc.selectionEnd = point;
        doc.view.currentPosition = point;
        return;
    }
    const SnappedDrag snapped = SnapDrag(doc, mode, anchor_, moving_, shift_, channels);
    doc.selectionStart = std::min(snapped.anchor, snapped.moving);
    doc.selectionEnd = std::max(snapped.anchor, snapped.moving);
    doc.view.currentPosition = snapped.moving;
}

std::optional<LoopMarkerGesture> LoopMarkerGesture::Press(COLMDoc& doc, LoopMarker marker, std::uint32_t frame,
                                                          double column, double startColumn, Transport transport) {
    if (Busy(transport) || doc.loopLock == 1) return std::nullopt;
    const SoundInfo& info = doc.Info();
    LoopMarkerGesture g(marker, {info.loopStart, info.loopEnd}, info.loopOn);
    const bool hasLoop = HasLoopMarkers(info.loopStart, info.loopEnd);
    const bool grabsStart = marker == LoopMarker::Start && hasLoop && column >= startColumn &&
                            column - startColumn < kLoopGrabColumns;
    if (!grabsStart) g.Drag(doc, frame);
    return g;
}

void LoopMarkerGesture::Drag(COLMDoc& doc, std::uint32_t frame) {
    Move(doc, frame);
    // Measured against the loop at the press: a new loop is on while it holds frames, and an
    // existing one dragged through empty keeps its flag.
    doc.Info().loopOn = onBefore_;
    SwitchOnCreatedLoop(doc.Info(), before_.start, before_.end);
}

void LoopMarkerGesture::Move(COLMDoc& doc, std::uint32_t frame) {
    SoundInfo& info = doc.Info();
    frame = std::min(frame, info.frames);
    if (!HasLoopMarkers(info.loopStart, info.loopEnd)) {
        info.loopStart = info.loopEnd = frame;
        return;
    }
    const std::uint32_t length = info.loopEnd - info.loopStart;
    if (doc.loopLock == 2) {
        // The loop keeps its length and moves as a whole, held inside the sound.
        const FrameSpan span = marker_ == LoopMarker::Start ? SpanFrom(frame, length, info.frames)
                                                            : SpanUntil(frame, length, info.frames);
        info.loopStart = span.start;
        info.loopEnd = span.end;
        return;
    }
    if (marker_ == LoopMarker::Start) info.loopStart = std::min(frame, info.loopEnd);
    else info.loopEnd = std::max(frame, info.loopStart);
}

void PlaceCursorFromRuler(COLMDoc& doc, std::uint32_t frame) {
    const std::uint32_t last = doc.view.lastVisible > 0 ? doc.view.lastVisible - 1 : 0;
    doc.playCursor = std::min(frame, last);
    doc.view.currentPosition = doc.playCursor;
}

}  // namespace pelmora
