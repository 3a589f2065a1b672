#include "document/UndoStore.h"

#include <algorithm>

#include "base/Error.h"
#include "document/COLMDoc.h"
#include "document/FileCopy.h"
#include "document/TempFiles.h"
#include "document/WorkingFile.h"

namespace pelmora {

namespace {

ChannelRange AllChannelsOf(const SoundInfo& info) { return {0, info.channels}; }

// Bytes the record's file holds once written.
std::uint64_t RecordBytes(const UndoRecord& record, const SoundInfo& info) {
    if (record.operation == OperationCode::WholeFile) return info.workingFileLength;
    return static_cast<std::uint64_t>(record.framesSaved) * record.savedFrameSize;
}

// Runs a block copy under its own progress display.
template <typename Copy>
void WithDisplay(ProgressTask& progress, StringId status, std::uint64_t blocks, Copy&& copy) {
    progress.Start(status);
    progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(blocks, UINT32_MAX)));
    std::uint64_t block = 0;
    try {
        copy([&] { progress.Step(++block, blocks); });
    } catch (...) {
        progress.End();
        throw;
    }
    progress.End();
}

}  // namespace

void UndoStore::SetPaths(std::string undoPath, std::string redoPath) {
    undo_.path = std::move(undoPath);
    redo_.path = std::move(redoPath);
}

void UndoStore::Reset() {
    undo_.valid = undo_.pending = false;
    redo_.valid = redo_.pending = false;
    toggle_ = false;
}

void UndoStore::SaveUndo(COLMDoc& doc, OperationCode code, std::uint32_t rangeStart,
                         std::uint32_t rangeEnd, ChannelRange channels) {
    // A failed copy must not leave an older operation's record to be applied.
    Reset();
    Fill(doc, undo_, code, rangeStart, rangeEnd, channels);
    CopyOut(doc, undo_, StringId::CreatingUndoFile);
    undo_.valid = true;
}

void UndoStore::TakeWholeFileUndo(COLMDoc& doc, const std::function<void(const std::string&)>& moveOut) {
    Reset();
    Fill(doc, undo_, OperationCode::WholeFile, 0, doc.Info().frames, AllChannelsOf(doc.Info()));
    moveOut(undo_.path);
    undo_.valid = true;
}

void UndoStore::SaveRedo(COLMDoc& doc, OperationCode code, std::uint32_t rangeStart,
                         std::uint32_t rangeEnd, ChannelRange channels) {
    Fill(doc, redo_, code, rangeStart, rangeEnd, channels);
    CopyOut(doc, redo_, StringId::CreatingRedoFile);
    redo_.valid = true;
}

void UndoStore::DeferRedo(COLMDoc& doc, OperationCode code, std::uint32_t rangeStart,
                          std::uint32_t rangeEnd, ChannelRange channels) {
    Fill(doc, redo_, code, rangeStart, rangeEnd, channels);
    redo_.pending = true;
    redo_.valid = true;
}

// The record as the document stands now; invalid until its file is written or deferred.
void UndoStore::Fill(const COLMDoc& doc, UndoRecord& record, OperationCode code,
                     std::uint32_t rangeStart, std::uint32_t rangeEnd, ChannelRange channels) const {
    const SoundInfo& info = doc.Info();
    record.valid = false;
    record.pending = false;
    record.fileType = info.fileType;
    record.sampleRate = info.sampleRate;
    record.bytesPerSample = info.bytesPerSample;
    record.selectionStart = doc.selectionStart;
    record.selectionEnd = doc.selectionEnd;
    record.channelFirst = info.channelFirst;
    record.channelEnd = info.channelEnd;
    record.loopStart = info.loopStart;
    record.loopEnd = info.loopEnd;
    record.markers = TakeMarkerPositions(info);
    record.frameCount = info.frames;
    record.dataOffset = info.dataOffset;
    record.hdMisaligned = doc.HdMisaligned();
    record.operation = code;
    record.workingPath = doc.WorkingPath();
    record.title = doc.Title();
    record.rangeStart = rangeStart;
    record.rangeEnd = std::max(rangeStart, rangeEnd);
    record.framesSaved = record.rangeEnd - record.rangeStart;
    record.savedChannels = code == OperationCode::WholeFile ? AllChannelsOf(info) : channels;
    record.channelsSaved = record.savedChannels.Count();
    record.savedFrameSize = static_cast<std::uint16_t>(record.channelsSaved * info.bytesPerSample);
}

// Copies what the record describes from the working file into the record's file.
void UndoStore::CopyOut(COLMDoc& doc, UndoRecord& record, StringId status) {
    const SoundInfo& info = doc.Info();
    const platform::File working = doc.OpenWorkingFile(false);
    platform::File file;
    if (!file.Open(record.path, platform::OpenMode::CreateOrOpen)) throw Error(WriteFailure());
    ProgressTask& progress = doc.Host().Progress();
    const std::uint64_t bytes = RecordBytes(record, info);
    if (!file.SetSize(bytes)) throw Error(WriteFailure());
    if (record.operation == OperationCode::WholeFile) {
        CopyRangeWithProgress(working, 0, file, 0, bytes, progress, status, false);
    } else {
        WithDisplay(progress, status, BlocksForFrames(record.framesSaved, info.blockAlign), [&](auto step) {
            GatherFrames(working, LayoutOf(info), record.savedChannels, record.rangeStart,
                         record.framesSaved, file, 0, step);
        });
    }
}

// Room for the deferred redo copy and for a working file the restore makes longer, checked
// before either is written.
void UndoStore::CheckRestoreSpace(COLMDoc& doc, const UndoRecord& apply, const UndoRecord& other) const {
    const SoundInfo& info = doc.Info();
    const std::uint64_t copy =
        !toggle_ && redo_.pending && undo_.operation != OperationCode::WholeFile ? RecordBytes(redo_, info) : 0;
    std::uint64_t framesAfter = info.frames;
    switch (undo_.operation) {
    case OperationCode::Cut:
    case OperationCode::Clear:
        if (!toggle_) framesAfter += undo_.framesSaved;
        break;
    case OperationCode::Insert:
    case OperationCode::TimeCompExp: {
        const std::uint32_t at = std::min(apply.rangeStart, info.frames);
        const std::uint32_t now = std::min(other.framesSaved, info.frames - at);
        framesAfter = framesAfter - now + apply.framesSaved;
        break;
    }
    case OperationCode::WholeFile: break;  // a swap of files, no growth in place
    default: framesAfter = std::max<std::uint64_t>(framesAfter, apply.frameCount); break;
    }
    const std::uint64_t growth =
        framesAfter > info.frames ? (framesAfter - info.frames) * info.blockAlign : 0;
    if (InsufficientSpaceForEdit(doc.Host().WorkDir(), doc.WorkingPath(), copy, growth))
        throw Error(StringId::EmptyDiskSpace);
}

void UndoStore::UndoOrRedo(COLMDoc& doc) {
    const bool cutOrClear =
        undo_.operation == OperationCode::Cut || undo_.operation == OperationCode::Clear;
    if (!undo_.valid || (!cutOrClear && !redo_.valid)) return;
    UndoRecord& apply = toggle_ ? redo_ : undo_;
    UndoRecord& other = toggle_ ? undo_ : redo_;
    CheckRestoreSpace(doc, apply, other);
    if (!toggle_ && redo_.pending) {
        // The working file still holds what the redo record describes: copy it before the undo
        // overwrites it. A failure leaves the record pending and the document untouched. A
        // whole-file swap moves the working file itself into the redo file: nothing to copy.
        if (undo_.operation != OperationCode::WholeFile) CopyOut(doc, redo_, StringId::CreatingRedoFile);
        redo_.pending = false;
    }
    SoundInfo& info = doc.Info();
    const std::uint32_t loopLengthBefore = info.loopEnd - info.loopStart;

    switch (undo_.operation) {
    case OperationCode::Cut:
    case OperationCode::Clear:
        if (toggle_) RemoveAgain(doc, undo_);
        else Reinsert(doc, undo_);
        break;
    case OperationCode::Insert:
    case OperationCode::TimeCompExp:
        ReplaceRange(doc, apply, other, toggle_ ? StringId::RedoOperation : StringId::UndoOperation);
        break;
    case OperationCode::WholeFile:
        SwapFiles(doc, apply, other);
        break;
    default:
        Overwrite(doc, apply);
        break;
    }

    info.channelFirst = std::min(apply.channelFirst, info.channels);
    info.channelEnd = std::min(apply.channelEnd, info.channels);
    info.loopStart = apply.loopStart;
    info.loopEnd = apply.loopEnd;
    RestoreMarkerPositions(info, apply.markers);
    ClampLoop(info);
    doc.selectionStart = std::min(apply.selectionStart, info.frames);
    doc.selectionEnd = std::min(apply.selectionEnd, info.frames);
    if (info.loopEnd - info.loopStart != loopLengthBefore) doc.loopLock = 0;
    toggle_ = !toggle_;
    if (undo_.operation != OperationCode::WholeFile) doc.RefreshWorkingHeader();
    doc.playCursor = std::min(doc.playCursor, info.frames);
    doc.SetDataChanged();
}

// Writes the record's frames back at its range, the frame count first restored at the end.
void UndoStore::Overwrite(COLMDoc& doc, const UndoRecord& record) {
    SoundInfo& info = doc.Info();
    platform::File working = doc.OpenWorkingFile(true);
    const std::uint32_t before = info.frames;
    ResizeDataAtEnd(working, info, record.frameCount);
    platform::File file;
    if (!file.Open(record.path, platform::OpenMode::Read)) throw Error(StringId::FileReadError);
    WithDisplay(doc.Host().Progress(), toggle_ ? StringId::RedoOperation : StringId::UndoOperation,
                BlocksForFrames(record.framesSaved, info.blockAlign), [&](auto step) {
                    ScatterFrames(file, 0, working, LayoutOf(info), record.savedChannels,
                                  record.rangeStart, record.framesSaved, step);
                });
    if (info.frames < before) doc.NotifyFramesRemoved(info.frames, before - info.frames);
    if (info.frames > before) doc.NotifyFramesInserted(before, info.frames - before);
    doc.NotifyFramesChanged(record.rangeStart, record.framesSaved);
}

// Undo of Cut and Clear: the removed frames go back in at their place.
void UndoStore::Reinsert(COLMDoc& doc, const UndoRecord& record) {
    SoundInfo& info = doc.Info();
    platform::File working = doc.OpenWorkingFile(true);
    ProgressTask& progress = doc.Host().Progress();
    OpenFrameGap(working, info, record.rangeStart, record.framesSaved, progress,
                 StringId::UndoOperation);
    platform::File file;
    if (!file.Open(record.path, platform::OpenMode::Read)) throw Error(StringId::FileReadError);
    ScatterFrames(file, 0, working, LayoutOf(info), AllChannelsOf(info), record.rangeStart,
                  record.framesSaved);
    doc.NotifyFramesInserted(record.rangeStart, record.framesSaved);
}

// Redo of Cut and Clear: the range the undo record describes is removed again.
void UndoStore::RemoveAgain(COLMDoc& doc, const UndoRecord& undoRecord) {
    SoundInfo& info = doc.Info();
    platform::File working = doc.OpenWorkingFile(true);
    CloseFrameGap(working, info, undoRecord.rangeStart, undoRecord.framesSaved,
                  doc.Host().Progress(), StringId::RedoOperation);
    doc.NotifyFramesRemoved(undoRecord.rangeStart, undoRecord.framesSaved);
}

// Insert and Time Comp/Exp: what the other record's range holds now is replaced by this
// record's frames.
void UndoStore::ReplaceRange(COLMDoc& doc, const UndoRecord& apply, const UndoRecord& other,
                             StringId status) {
    SoundInfo& info = doc.Info();
    platform::File working = doc.OpenWorkingFile(true);
    ProgressTask& progress = doc.Host().Progress();
    const std::uint32_t at = apply.rangeStart;
    const std::uint32_t now = std::min(other.framesSaved, info.frames - std::min(at, info.frames));
    if (apply.framesSaved > now) {
        OpenFrameGap(working, info, at + now, apply.framesSaved - now, progress, status);
    } else if (apply.framesSaved < now) {
        CloseFrameGap(working, info, at + apply.framesSaved, now - apply.framesSaved, progress, status);
    }
    platform::File file;
    if (!file.Open(apply.path, platform::OpenMode::Read)) throw Error(StringId::FileReadError);
    ScatterFrames(file, 0, working, LayoutOf(info), apply.savedChannels, at, apply.framesSaved);
    if (apply.framesSaved > now) doc.NotifyFramesInserted(at + now, apply.framesSaved - now);
    if (apply.framesSaved < now) doc.NotifyFramesRemoved(at + apply.framesSaved, now - apply.framesSaved);
    doc.NotifyFramesChanged(at, std::min(apply.framesSaved, now));
}

// Whole-file operations: the record's file becomes the working file, and the working file it
// displaces becomes the other record's file, so the pair can alternate for ever.
void UndoStore::SwapFiles(COLMDoc& doc, UndoRecord& apply, UndoRecord& other) {
    ProgressTask& progress = doc.Host().Progress();
    const std::string working = doc.WorkingPath();
    // A Format Conversion of a file edited in place renamed it for its new type: the content
    // goes back under the name it had, unless the document moved to another file since (Save As).
    const bool samePair = other.workingPath == working;
    const std::string target = samePair && !apply.workingPath.empty() ? apply.workingPath : working;
    const std::string parked = other.path + ".swap";
    RelocateFile(working, parked, StringId::UndoOperation, progress);
    try {
        RelocateFile(apply.path, target, StringId::UndoOperation, progress);
    } catch (...) {
        RelocateFile(parked, working, StringId::UndoOperation, progress);
        throw;
    }
    RelocateFile(parked, other.path, StringId::UndoOperation, progress);
    // The applied record's file is now the working file: recreate it, empty, for the next copy.
    platform::File recreated(apply.path, platform::OpenMode::CreateOrOpen);
    doc.ChangeWorkingPath(target);
    if (samePair && !apply.title.empty()) doc.SetTitle(apply.title);
    doc.Info().fileType = apply.fileType;
    doc.ReReadFormatKeepingLoop();
    doc.NotifySoundReplaced();
}

}  // namespace pelmora
