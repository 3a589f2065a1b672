#include "document/UndoStore.h"

#include <algorithm>

#include "base/Error.h"
#include "document/COLMDoc.h"
#include "document/FileCopy.h"
#include "document/WorkingFile.h"

namespace pelmora {

namespace {

ChannelRange AllChannelsOf(const SoundInfo& info) { return {0, info.channels}; }

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
    undo_.valid = false;
    redo_.valid = false;
    toggle_ = false;
}

void UndoStore::SaveUndo(COLMDoc& doc, OperationCode code, std::uint32_t rangeStart,
                         std::uint32_t rangeEnd, ChannelRange channels) {
    // A failed copy must not leave an older operation's record to be applied.
    Reset();
    Save(doc, undo_, code, rangeStart, rangeEnd, channels, StringId::CreatingUndoFile);
}

void UndoStore::SaveRedo(COLMDoc& doc, OperationCode code, std::uint32_t rangeStart,
                         std::uint32_t rangeEnd, ChannelRange channels) {
    redo_.valid = false;
    Save(doc, redo_, code, rangeStart, rangeEnd, channels, StringId::CreatingRedoFile);
}

void UndoStore::Save(COLMDoc& doc, UndoRecord& record, OperationCode code,
                     std::uint32_t rangeStart, std::uint32_t rangeEnd, ChannelRange channels,
                     StringId status) {
    const SoundInfo& info = doc.Info();
    record.valid = false;
    record.fileType = info.fileType;
    record.sampleRate = info.sampleRate;
    record.bytesPerSample = info.bytesPerSample;
    record.selectionStart = doc.selectionStart;
    record.selectionEnd = doc.selectionEnd;
    record.channelFirst = info.channelFirst;
    record.channelEnd = info.channelEnd;
    record.loopStart = info.loopStart;
    record.loopEnd = info.loopEnd;
    record.frameCount = info.frames;
    record.dataOffset = info.dataOffset;
    record.hdMisaligned = doc.HdMisaligned();
    record.operation = code;
    record.rangeStart = rangeStart;
    record.rangeEnd = std::max(rangeStart, rangeEnd);
    record.framesSaved = record.rangeEnd - record.rangeStart;
    record.savedChannels = code == OperationCode::WholeFile ? AllChannelsOf(info) : channels;
    record.channelsSaved = record.savedChannels.Count();
    record.savedFrameSize = static_cast<std::uint16_t>(record.channelsSaved * info.bytesPerSample);

    const platform::File working = doc.OpenWorkingFile(false);
    platform::File file;
    if (!file.Open(record.path, platform::OpenMode::CreateOrOpen)) throw Error(StringId::FileWriteError);
    ProgressTask& progress = doc.Host().Progress();
    if (code == OperationCode::WholeFile) {
        const std::uint64_t length = info.workingFileLength;
        if (!file.SetSize(length)) throw Error(StringId::FileWriteError);
        CopyRangeWithProgress(working, 0, file, 0, length, progress, status, false);
    } else {
        const std::uint64_t bytes = static_cast<std::uint64_t>(record.framesSaved) * record.savedFrameSize;
        if (!file.SetSize(bytes)) throw Error(StringId::FileWriteError);
        WithDisplay(progress, status, BlocksForFrames(record.framesSaved, info.blockAlign), [&](auto step) {
            GatherFrames(working, LayoutOf(info), record.savedChannels, record.rangeStart,
                         record.framesSaved, file, 0, step);
        });
    }
    record.valid = true;
}

void UndoStore::UndoOrRedo(COLMDoc& doc) {
    const bool cutOrClear =
        undo_.operation == OperationCode::Cut || undo_.operation == OperationCode::Clear;
    if (!undo_.valid || (!cutOrClear && !redo_.valid)) return;
    UndoRecord& apply = toggle_ ? redo_ : undo_;
    UndoRecord& other = toggle_ ? undo_ : redo_;
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
    const std::string parked = other.path + ".swap";
    RelocateFile(working, parked, StringId::UndoOperation, progress);
    try {
        RelocateFile(apply.path, working, StringId::UndoOperation, progress);
    } catch (...) {
        RelocateFile(parked, working, StringId::UndoOperation, progress);
        throw;
    }
    RelocateFile(parked, other.path, StringId::UndoOperation, progress);
    // The applied record's file is now the working file: recreate it, empty, for the next copy.
    platform::File recreated(apply.path, platform::OpenMode::CreateOrOpen);
    doc.ReReadFormatKeepingLoop();
    doc.NotifySoundReplaced();
}

}  // namespace pelmora
