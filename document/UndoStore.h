#pragma once
// One level of undo: the state before and after the last sample-changing operation, kept in
// the document's undo and redo files with two records that say what the files stand for.

#include <cstdint>
#include <functional>
#include <string>

#include "base/StringId.h"
#include "sound/FrameTransfer.h"
#include "sound/SoundInfo.h"
#include "sound/SoundMarkers.h"

namespace pelmora {

class COLMDoc;

enum class OperationCode : std::uint32_t {
    InPlace = 0,
    Cut = 1,
    Paste = 3,
    Insert = 4,
    Clear = 5,
    Trim = 6,
    Mix = 7,
    TimeCompExp = 8,
    WholeFile = 9,
    OtherInPlace = 12,
};

struct UndoRecord {
    bool valid = false;
    std::string path;
    FileType fileType = FileType::Wav;
    std::uint16_t channelsSaved = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bytesPerSample = 0;
    std::uint16_t savedFrameSize = 0;
    std::uint32_t framesSaved = 0;
    std::uint32_t selectionStart = 0, selectionEnd = 0;
    std::uint16_t channelFirst = 0, channelEnd = 0;
    std::uint32_t rangeStart = 0, rangeEnd = 0;
    std::uint32_t loopStart = 0, loopEnd = 0;
    MarkerPositions markers;  // the other loops, cue points and markers, which follow the loop
    std::uint32_t frameCount = 0;
    std::uint32_t dataOffset = 0;
    bool hdMisaligned = false;
    ChannelRange savedChannels;  // which channels of each frame the file holds
    OperationCode operation = OperationCode::InPlace;
    // Whole-file records: the working file's path and the title with this content, which a
    // Format Conversion changes along with the type.
    std::string workingPath;
    std::string title;
    // The file is not written yet: the working file holds these frames until the first Undo.
    bool pending = false;
};

class UndoStore {
public:
    void SetPaths(std::string undoPath, std::string redoPath);

    // Before an operation: both records become invalid, then the frames [rangeStart, rangeEnd)
    // of `channels` (the whole working file for WholeFile) are copied to the undo file; the
    // record is valid only once the copy is complete. Raises the copy's failure.
    void SaveUndo(COLMDoc& doc, OperationCode code, std::uint32_t rangeStart,
                  std::uint32_t rangeEnd, ChannelRange channels);
    // Before a whole-file conversion that moves the working file aside instead of copying it:
    // both records become invalid, `moveOut` puts the working file at the undo path, and the
    // undo record, describing the document as it stands, becomes valid.
    void TakeWholeFileUndo(COLMDoc& doc, const std::function<void(const std::string& undoPath)>& moveOut);
    // After it: the same into the redo file. A failure leaves no redo record.
    void SaveRedo(COLMDoc& doc, OperationCode code, std::uint32_t rangeStart,
                  std::uint32_t rangeEnd, ChannelRange channels);
    // After it, for an operation most likely never undone: the redo record describes the
    // frames, which stay only in the working file until the first Undo copies them. Whatever
    // changes those frames before then must start a new record (SaveUndo) or Reset.
    void DeferRedo(COLMDoc& doc, OperationCode code, std::uint32_t rangeStart,
                   std::uint32_t rangeEnd, ChannelRange channels);

    // The Undo/Redo item: applies the undo record, or the redo record when the toggle is set.
    // The first Undo after a deferred redo copy takes that copy first. Raises "Empty disk
    // space" before anything is written when the copy or a longer working file would not fit;
    // a failure leaves the document and both records as they were.
    void UndoOrRedo(COLMDoc& doc);
    bool Enabled() const { return undo_.valid && redo_.valid; }
    // "Undo" while the next action undoes, "Redo" after.
    bool NextIsRedo() const { return toggle_; }
    // Revert: both records invalid.
    void Reset();

    const UndoRecord& UndoRecordState() const { return undo_; }
    const UndoRecord& RedoRecordState() const { return redo_; }
    // The paths may change when the working directory moves.
    const std::string& UndoPath() const { return undo_.path; }
    const std::string& RedoPath() const { return redo_.path; }

private:
    void Fill(const COLMDoc& doc, UndoRecord& record, OperationCode code, std::uint32_t rangeStart,
              std::uint32_t rangeEnd, ChannelRange channels) const;
    void CopyOut(COLMDoc& doc, UndoRecord& record, StringId status);
    void CheckRestoreSpace(COLMDoc& doc, const UndoRecord& apply, const UndoRecord& other) const;
    void Overwrite(COLMDoc& doc, const UndoRecord& record);
    void Reinsert(COLMDoc& doc, const UndoRecord& record);
    void RemoveAgain(COLMDoc& doc, const UndoRecord& undoRecord);
    void ReplaceRange(COLMDoc& doc, const UndoRecord& apply, const UndoRecord& other, StringId status);
    void SwapFiles(COLMDoc& doc, UndoRecord& apply, UndoRecord& other);

    UndoRecord undo_;
    UndoRecord redo_;
    bool toggle_ = false;
};

}  // namespace pelmora
