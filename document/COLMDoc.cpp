#include "document/COLMDoc.h"

#include <algorithm>

#include "base/Error.h"
#include "document/FileCopy.h"
#include "document/Conversions.h"
#include "document/SoundFileIo.h"
#include "document/TempFiles.h"
#include "sound/SoundFileCheck.h"

namespace pelmora {

namespace {

// Removes a file the document made, unless it is gone already.
void RemoveIfPresent(std::string& path) {
    if (!path.empty()) RemoveTemporary(path);
    path.clear();
}

}  // namespace

COLMDoc::COLMDoc(DocumentHost& host) : host_(host) {}

COLMDoc::~COLMDoc() {
    RemoveIfPresent(undoPath_);
    RemoveIfPresent(redoPath_);
    // The editing copy is ours alone; a copy that still held the only changes was offered for
    // saving by CanClose.
    RemoveIfPresent(backupCopyPath_);
}

void COLMDoc::MakeUndoFiles() {
    auto undo = UniqueTempName(host_.WorkDir(), kUndoPrefix);
    auto redo = UniqueTempName(host_.WorkDir(), kRedoPrefix);
    if (undo) undoPath_ = *undo;
    if (redo) redoPath_ = *redo;
    if (!undo || !redo) throw Error(StringId::FileCreatingError);
    undo_.SetPaths(undoPath_, redoPath_);
}

std::unique_ptr<COLMDoc> COLMDoc::OpenDocument(DocumentHost& host, const OpenRequest& request) {
    try {
        return OpenChecked(host, request);
    } catch (...) {
        // A file made by the system for this document is not left behind either.
        if (request.importMark && !request.recovery) RemoveTemporary(request.path);
        throw;
    }
}

std::unique_ptr<COLMDoc> COLMDoc::OpenChecked(DocumentHost& host, const OpenRequest& request) {
    const FileType type = PreCheckSoundFile(request.path);
    // An extensible header holding plain PCM opens once its working copy has a plain one; the
    // user's file keeps its header until saved, so such a file is always edited in a copy.
    const bool extensible = type == FileType::Wav && !request.importMark && HasExtensiblePcmHeader(request.path);
    if (extensible &&
        host.Prompts().Ask(Text(StringId::ExtensibleHeaderQuestion), Buttons::YesNo) != Answer::Yes)
        throw Error(StringId::UnknownWavePcmFormat);
    std::unique_ptr<COLMDoc> doc(new COLMDoc(host));
    doc->MakeUndoFiles();
    doc->openedPath_ = request.path;
    doc->title_ = platform::FileNameOf(request.path);
    doc->info_.fileType = type;
    doc->fileBackup_ = request.fileBackup || extensible;
    if (request.importMark) {
        doc->fileBackup_ = false;
        doc->madeFromTempFile_ = true;
        doc->dataChanged_ = true;
    }
    if (doc->fileBackup_) doc->MakeEditingCopy(request.path);
    if (extensible) {
        if (!doc->fileBackup_) throw Cancelled();  // no copy: the original is not to be changed
        RewriteExtensibleHeader(doc->backupCopyPath_);
        doc->dataChanged_ = true;  // the original gets the plain header when saved
    }
    doc->workingPath_ = doc->fileBackup_ ? doc->backupCopyPath_ : request.path;
    doc->originalPath_ = doc->fileBackup_ ? request.path : std::string();
    doc->ReadWorkingFile();
    if (!doc->fileBackup_ && platform::HasReadOnlyAttribute(request.path)) {
        host.Prompts().Message(Text(StringId::FileIsReadOnly));
        doc->readOnly_ = true;
    }
    if (doc->hdMisaligned_ && !doc->readOnly_) doc->OfferHdPlayRewrite();
    doc->ReadOriginalStatus();
    doc->info_.channelFirst = 0;
    doc->info_.channelEnd = doc->info_.channels;
    doc->RememberSavedLoop();
    return doc;
}

// The editing copy. When it cannot be made or the user stops it, the document edits the
// original only if the user says so: a later crash would then damage the original.
void COLMDoc::MakeEditingCopy(const std::string& source) {
    auto copy = UniqueTempName(host_.WorkDir(), kBackupPrefix);
    if (!copy) {
        EditOriginalOrStop(Text(StringId::FileCreatingError));
        return;
    }
    InFlightFile inFlight(*copy);
    try {
        const std::int64_t length = platform::FileSize(source);
        if (length < 0) throw Error(StringId::FileReadError);
        if (InsufficientSpaceOnWorkingDrive(host_.WorkDir(), static_cast<std::uint64_t>(length)))
            throw Error(StringId::EmptyDiskSpace);
        CopyFileWithProgressCancellable(source, *copy, StringId::CreatingCopyFile,
                                        host_.Progress());
        backupCopyPath_ = *copy;
    } catch (const Error& e) {
        RemoveTemporary(*copy);
        EditOriginalOrStop(e.Message());
    } catch (const Cancelled&) {
        RemoveTemporary(*copy);
        EditOriginalOrStop(Text(StringId::WorkingCopyStopped));
    }
}

void COLMDoc::EditOriginalOrStop(const std::string& reason) {
    const Answer answer =
        host_.Prompts().Ask(FormatText(StringId::WorkingCopyFailedQuestion, reason.c_str()), Buttons::YesNo);
    if (answer != Answer::Yes) throw Cancelled();
    fileBackup_ = false;
}

void COLMDoc::ReadWorkingFile() {
    const ReadOutcome outcome = ReadSoundFile(workingPath_, info_.fileType, info_);
    hdMisaligned_ = outcome.hdMisaligned;
    const std::int64_t length = platform::FileSize(workingPath_);
    if (length < 0) throw Error(StringId::FileReadError);
    info_.workingFileLength = static_cast<std::uint32_t>(length);
    UpdateDerivedFormat(info_);
}

void COLMDoc::OfferHdPlayRewrite() {
    const Answer answer =
        host_.Prompts().Ask(Text(StringId::HdPlayRewriteQuestion), Buttons::YesNo);
    if (answer != Answer::Yes) throw Cancelled();
    RewriteAiffHeaderForHdPlay(*this);
    // Part of opening the file, not an edit to undo.
    undo_.Reset();
}

void COLMDoc::ReadOriginalStatus() {
    platform::FileStatus status;
    if (platform::StatFile(fileBackup_ ? originalPath_ : workingPath_, status))
        originalStatus_ = status;
}

void COLMDoc::RememberSavedLoop() {
    info_.savedLoopOn = info_.loopOn;
    info_.savedLoopStart = info_.loopStart;
    info_.savedLoopEnd = info_.loopEnd;
}

bool COLMDoc::LoopChanged() const {
    return info_.loopOn != info_.savedLoopOn || info_.loopStart != info_.savedLoopStart ||
           info_.loopEnd != info_.savedLoopEnd;
}

bool COLMDoc::CanSave() const {
    const bool originalWritable = fileBackup_ && !platform::HasReadOnlyAttribute(originalPath_);
    return ((dataChanged_ || LoopChanged()) && originalWritable) || madeFromTempFile_;
}

bool COLMDoc::CanRevert() const { return fileBackup_ && (dataChanged_ || LoopChanged()); }

bool COLMDoc::RefersTo(const std::string& path) const {
    const std::string wanted = platform::CanonicalPath(path);
    const std::string& own = fileBackup_ ? originalPath_ : workingPath_;
    return !own.empty() && platform::CanonicalPath(own) == wanted;
}

void COLMDoc::WriteLoopIntoWorkingFile() {
    WriteLoopAndInstrument(workingPath_, info_);
    imageStamp_ = image_ ? image_->StoreBlock(workingPath_, info_) : std::nullopt;
    StampSavedFile(workingPath_);
    const std::int64_t length = platform::FileSize(workingPath_);
    if (length >= 0) info_.workingFileLength = static_cast<std::uint32_t>(length);
}

// The copy a save puts in place: the loop, instrument and image data go into the copy, never into
// the working file, which a write failing half way through a chunk would leave unreadable.
void COLMDoc::WriteCompleteCopy(const std::string& path) {
    CopyFileWithProgress(workingPath_, path, StringId::Saving, host_.Progress());
    SoundInfo layout = info_;
    WriteLoopAndInstrument(path, layout);
    imageStamp_ = image_ ? image_->StoreBlock(path, layout) : std::nullopt;
}

std::uint64_t COLMDoc::ImageBlockBytes() { return image_ ? image_->StoredBlockBytes() : 0; }

// A file holding the stored image carries the block's time stamp as its modification time, so
// that the block is taken as current when the file is opened again.
void COLMDoc::StampSavedFile(const std::string& path) {
    if (imageStamp_) platform::SetModifiedTime(path, *imageStamp_);
}

std::string COLMDoc::SaveTarget() const {
    return platform::FolderOf(originalPath_) + "/" + title_;
}

bool COLMDoc::ConfirmOverwrite(const std::string& target) {
    const Answer answer = host_.Prompts().Ask(
        FormatText(StringId::FileExistsOverwrite, target.c_str()), Buttons::OkCancel);
    return answer == Answer::Ok;
}

void COLMDoc::Save() {
    if (madeFromTempFile_) {
        SaveAs();
        return;
    }
    if (!fileBackup_) {
        // Edits went into the file itself; only the loop and instrument data wait for a save.
        if (LoopChanged()) {
            WriteLoopIntoWorkingFile();
            RememberSavedLoop();
        }
        return;
    }
    if (!dataChanged_ && !LoopChanged()) return;
    if (damaged_) throw Error(StringId::LastOperationFailed);
    if (platform::HasReadOnlyAttribute(originalPath_)) throw Error(StringId::CannotSaveReadOnly);
    // The working copy becomes the original's new content; the original is replaced in one
    // rename, so it stays whole until the new content is complete on disk.
    const std::string target = SaveTarget();
    const std::uint64_t needed =
        static_cast<std::uint64_t>(info_.workingFileLength) + ImageBlockBytes() + 128;
    if (InsufficientSpaceOnDrive(originalPath_, needed)) throw Error(StringId::EmptyDiskSpace);
    const bool renamed = platform::CanonicalPath(target) != platform::CanonicalPath(originalPath_);
    if (renamed && platform::FileExists(target) && !ConfirmOverwrite(target)) return;
    WriteFileSafely(target, [&](const std::string& partial) { WriteCompleteCopy(partial); });
    if (renamed) {
        platform::RemoveFile(originalPath_);
        originalPath_ = target;
    }
    StampSavedFile(originalPath_);
    ReadOriginalStatus();
    dataChanged_ = false;
    RememberSavedLoop();
    host_.DocumentStateChanged();
}

bool COLMDoc::SaveAs() {
    auto target = host_.ChooseSaveAsPath(*this);
    if (!target) return false;
    return SaveAsPath(*target);
}

bool COLMDoc::SaveAsPath(const std::string& target) {
    if (host_.IsOpenInOtherDocument(target, *this))
        throw Error(StringId::AlreadyOpenedCannotSave,
                    FormatText(StringId::AlreadyOpenedCannotSave, target.c_str()));
    const bool ontoItself = platform::CanonicalPath(target) == platform::CanonicalPath(workingPath_);
    if (damaged_ && fileBackup_ && platform::CanonicalPath(target) == platform::CanonicalPath(originalPath_))
        throw Error(StringId::LastOperationFailed);
    if (!ontoItself && platform::FileExists(target) && !ConfirmOverwrite(target)) return false;
    WriteTo(target);
    RebindTo(target);
    return true;
}

// Writes the document, loop and instrument data included, to `target`, converting to the type
// its extension names. The target is replaced in one rename.
void COLMDoc::WriteTo(const std::string& target) {
    // A failed operation may have left the header behind the frames the document shows.
    if (damaged_) RefreshWorkingHeader();
    const FileType targetType = TypeForExtension(target, info_.fileType);
    if (platform::CanonicalPath(target) == platform::CanonicalPath(workingPath_) &&
        targetType == info_.fileType) {
        WriteLoopIntoWorkingFile();  // the working file is the target
        return;
    }
    if (targetType == info_.fileType) {
        WriteFileSafely(target, [&](const std::string& partial) { WriteCompleteCopy(partial); });
        StampSavedFile(target);
        return;
    }
    const std::uint64_t needed =
        static_cast<std::uint64_t>(info_.workingFileLength) + ImageBlockBytes() + 1024;
    if (InsufficientSpaceOnDrive(target, needed)) throw Error(StringId::EmptyDiskSpace);
    WriteFileSafely(target, [&](const std::string& partial) {
        WriteInOtherType(workingPath_, info_, partial, host_.Progress(),
                         targetType == FileType::Aiff ? StringId::ConvertingWavToAiff
                                                      : StringId::ConvertingAiffToWav,
                         false);
        SoundInfo converted = info_;
        converted.fileType = targetType;
        imageStamp_ = image_ ? image_->StoreBlock(partial, converted) : std::nullopt;
    });
    StampSavedFile(target);
}

// Makes the document refer to the file it was just saved to.
void COLMDoc::RebindTo(const std::string& target) {
    const std::string previousWorking = workingPath_;
    const bool previousWasTemporary = madeFromTempFile_;
    const FileType previousType = info_.fileType;
    info_.fileType = TypeForExtension(target, info_.fileType);
    if (fileBackup_) {
        const std::string oldCopy = backupCopyPath_;
        backupCopyPath_.clear();
        try {
            MakeEditingCopy(target);
        } catch (const Cancelled&) {
            // The file is written; without a copy of it the document stays with the old one.
            backupCopyPath_ = oldCopy;
            throw;
        }
        if (oldCopy != backupCopyPath_) RemoveTemporary(oldCopy);
        originalPath_ = fileBackup_ ? target : std::string();
    }
    workingPath_ = fileBackup_ ? backupCopyPath_ : target;
    if (previousWasTemporary && previousWorking != workingPath_)
        RemoveTemporary(previousWorking);
    openedPath_ = target;
    title_ = platform::FileNameOf(target);
    const std::uint16_t first = info_.channelFirst, end = info_.channelEnd;
    ReadWorkingFile();
    info_.channelFirst = first;
    info_.channelEnd = end;
    // The undo and redo files hold frames in the old type's encoding: written back into the
    // converted file they would be noise.
    if (info_.fileType != previousType) undo_.Reset();
    ReadOriginalStatus();
    dataChanged_ = false;
    damaged_ = false;
    madeFromTempFile_ = false;
    RememberSavedLoop();
    host_.DocumentStateChanged();
}

bool COLMDoc::Revert() {
    if (!fileBackup_) return false;
    // Every change and the undo record go: one stray click must not do that unasked.
    if ((dataChanged_ || LoopChanged()) &&
        host_.Prompts().Ask(FormatText(StringId::DiscardChangesQuestion, title_.c_str()), Buttons::YesNo) !=
            Answer::Yes)
        return false;
    CopyFileWithProgress(originalPath_, workingPath_, StringId::Reverting, host_.Progress());
    ReadWorkingFile();
    selectionStart = selectionEnd = 0;
    selectionLock = loopLock = 0;
    info_.channelFirst = 0;
    info_.channelEnd = info_.channels;
    dataChanged_ = false;
    damaged_ = false;
    ReadOriginalStatus();
    RememberSavedLoop();
    undo_.Reset();
    playCursor = 0;
    NotifySoundReplaced();
    if (image_) image_->FileOpened();
    host_.DocumentStateChanged();
    return true;
}

std::uint64_t COLMDoc::WorkingDirectoryFilesSize() const {
    std::uint64_t total = 0;
    for (const std::string* path : {&undoPath_, &redoPath_}) {
        const std::int64_t size = platform::FileSize(*path);
        if (size > 0) total += static_cast<std::uint64_t>(size);
    }
    return total + (image_ ? image_->WorkingFileBytes() : 0);
}

void COLMDoc::MoveWorkingDirectoryFiles(const std::string& workDir) {
    const std::pair<std::string*, std::string_view> files[] = {{&undoPath_, kUndoPrefix},
                                                               {&redoPath_, kRedoPrefix}};
    for (auto [path, prefix] : files) {
        auto moved = UniqueTempName(workDir, prefix);
        if (!moved) throw Error(StringId::FileCreatingError);
        try {
            RelocateFile(*path, *moved, StringId::ChangingWorkingVolume, host_.Progress());
        } catch (...) {
            RemoveTemporary(*moved);
            throw;
        }
        *path = *moved;
    }
    undo_.SetPaths(undoPath_, redoPath_);
    if (image_) image_->MoveWorkingFile(workDir);
}

platform::File COLMDoc::OpenWorkingFile(bool forWriting) const {
    platform::File file;
    if (!file.Open(workingPath_, forWriting ? platform::OpenMode::ReadWrite : platform::OpenMode::Read))
        throw Error(StringId::FileReadError);
    return file;
}

void COLMDoc::ChangeWorkingPath(const std::string& path) {
    if (path == workingPath_) return;
    if (workingPath_ == backupCopyPath_) backupCopyPath_ = path;
    if (!fileBackup_) openedPath_ = path;
    workingPath_ = path;
}

void COLMDoc::RefreshWorkingHeader() { RefreshHeaderOf(workingPath_, info_); }

void COLMDoc::ReReadFormatKeepingLoop() {
    const bool loopOn = info_.loopOn;
    const std::uint32_t loopStart = info_.loopStart, loopEnd = info_.loopEnd;
    const WavInstrument instrument = info_.instrument;
    ReadWorkingFile();
    info_.loopOn = loopOn;
    info_.loopStart = loopStart;
    info_.loopEnd = loopEnd;
    info_.instrument = instrument;
    ClampLoop(info_);
}

void COLMDoc::RemoveObserver(DocumentObserver* observer) {
    std::erase(observers_, observer);
}

void COLMDoc::NotifyFramesChanged(std::uint32_t first, std::uint32_t count) {
    for (DocumentObserver* o : observers_) o->FramesChanged(first, count);
}

void COLMDoc::NotifyFramesRemoved(std::uint32_t first, std::uint32_t count) {
    // The position the status bar shows stays inside the shorter sound.
    view.currentPosition = std::min(view.currentPosition, info_.frames);
    for (DocumentObserver* o : observers_) o->FramesRemoved(first, count);
}

void COLMDoc::NotifyFramesInserted(std::uint32_t first, std::uint32_t count) {
    for (DocumentObserver* o : observers_) o->FramesInserted(first, count);
}

void COLMDoc::NotifySoundReplaced() {
    view.currentPosition = std::min(view.currentPosition, info_.frames);
    for (DocumentObserver* o : observers_) o->SoundReplaced();
}

void COLMDoc::AttachImage(std::unique_ptr<DocumentImage> image) {
    if (image_) RemoveObserver(image_.get());
    image_ = std::move(image);
    if (!image_) return;
    AddObserver(image_.get());
    image_->FileOpened();
}

void COLMDoc::DiscardTemporaryWorkingFile() {
    if (madeFromTempFile_) RemoveIfPresent(workingPath_);
}

}  // namespace pelmora
