#pragma once
// The common frame of every sample-changing command: read-only check, clip sample-rate
// question, disk-space estimate, undo copy, the operation, selection lock release and
// play-position clamp, header rewrite, the modified flag, and the redo record (its copy deferred
// to the first Undo).

#include <cstdint>
#include <functional>
#include <optional>

#include "document/COLMDoc.h"
#include "edit/Clip.h"

namespace pelmora {

// What the undo or redo copy covers.
struct UndoRange {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    ChannelRange channels;
};

struct DiskNeeds {
    std::uint64_t undoBytes = 0;  // U + R, written in the working directory (R at the first Undo)
    std::uint64_t growth = 0;     // how much the working file grows
};

struct EditPlan {
    OperationCode code = OperationCode::InPlace;
    const ClipInfo* clip = nullptr;  // Paste, Insert, Mix: the clip whose rate is checked
    DiskNeeds needs;
    UndoRange undo;
};

// Runs `operation` inside the frame. It returns the range the redo copy covers. False when the
// user declined the sample-rate question (nothing changed). Failures raise Error: before the
// undo copy nothing has changed; after it, the undo copy stays recorded.
bool RunEdit(COLMDoc& doc, const EditPlan& plan, const std::function<UndoRange()>& operation);

// The selected channels of the document.
inline ChannelRange SelectedChannels(const COLMDoc& doc) {
    return {doc.Info().channelFirst, doc.Info().channelEnd};
}
inline ChannelRange AllChannels(const COLMDoc& doc) { return {0, doc.Info().channels}; }

}  // namespace pelmora
