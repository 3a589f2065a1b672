#pragma once
// The waveform pane's mouse rules: selecting frames and channels with a press, a drag and a
// release (Shift extends; the selection locks hold it), moving the loop markers in the time
// ruler, and placing the play cursor there.

#include <cstdint>
#include <optional>

#include "display/FrameSpan.h"
#include "display/SnapEdge.h"
#include "display/WaveformView.h"
#include "document/COLMDoc.h"

namespace pelmora {

// The half-open channel range from the strip a gesture started in to the strip under the pointer.
ChannelRange ChannelsBetween(std::uint16_t a, std::uint16_t b);

class SelectionGesture {
public:
    // A press in the waveform over channel strip `channel`. Nothing while the document plays or
    // records, or while the selection's position is locked. The selection shows the press at once.
    static std::optional<SelectionGesture> Press(COLMDoc& doc, std::uint32_t frame, std::uint16_t channel,
                                                 bool shift, Transport transport);
    // The pointer is over `frame` in strip `channel` with the button held.
    void Drag(COLMDoc& doc, std::uint32_t frame, std::uint16_t channel);
    // Button up: the selection is auto-snapped and the current position follows the end that
    // moved. A snap that cannot read the file raises, leaving the selection where the mouse put it.
    void Release(COLMDoc& doc, std::uint32_t frame, std::uint16_t channel, SnapMode mode);

private:
    SelectionGesture() = default;
    void Apply(COLMDoc& doc, std::uint16_t channel);

    std::uint32_t anchor_ = 0, moving_ = 0;
    std::uint32_t oldStart_ = 0, oldEnd_ = 0;
    std::uint32_t lockedLength_ = 0;
    std::uint16_t startChannel_ = 0;
    bool lengthLocked_ = false;
    bool shift_ = false;
    bool dragged_ = false;
};

enum class LoopMarker { Start, End };
inline constexpr int kLoopGrabColumns = 8;

class LoopMarkerGesture {
public:
    // A press on a loop marker: the left button with Ctrl (or in the marker strip) takes the
    // start, the right button the end. `column` and `startColumn` are the pointer's and the loop
    // start's columns. Nothing while the document plays or the loop's position is locked.
    static std::optional<LoopMarkerGesture> Press(COLMDoc& doc, LoopMarker marker, std::uint32_t frame,
                                                  double column, double startColumn, Transport transport);
    void Drag(COLMDoc& doc, std::uint32_t frame);

private:
    LoopMarkerGesture(LoopMarker marker, FrameSpan before, bool onBefore)
        : marker_(marker), before_(before), onBefore_(onBefore) {}
    void Move(COLMDoc& doc, std::uint32_t frame);
    LoopMarker marker_;
    FrameSpan before_;  // the loop and its flag when the button went down
    bool onBefore_;
};

// A click or drag in the time ruler moves the play cursor, at most to the last visible frame − 1.
void PlaceCursorFromRuler(COLMDoc& doc, std::uint32_t frame);

}  // namespace pelmora
