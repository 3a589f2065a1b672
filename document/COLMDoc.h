#pragma once
// One open sound: its working file and temporary files, the two editing modes, and New/Open,
// Save, Save As, Revert and Close. Failures raise Error for the command handler to show;
// answers to questions come from the host's Prompter.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/DocumentHost.h"
#include "document/DocumentImage.h"
#include "document/DocumentObserver.h"
#include "document/TagFields.h"
#include "document/UndoStore.h"
#include "document/ViewSettings.h"
#include "platform/File.h"
#include "sound/SoundInfo.h"

namespace pelmora {

struct OpenRequest {
    std::string path;
    bool fileBackup = true;   // the application option when the document is opened
    bool importMark = false;  // the file was just made by the system (New, imports)
    bool recovery = false;    // a file an earlier process left: kept when it cannot be opened
};

class COLMDoc {
public:
    // Opens a sound as a document, or raises the reason it cannot be opened (Cancelled when
    // the user declined the HD Play rewrite). A failed open leaves no file behind.
    static std::unique_ptr<COLMDoc> OpenDocument(DocumentHost& host, const OpenRequest& request);
    ~COLMDoc();
    COLMDoc(const COLMDoc&) = delete;
    COLMDoc& operator=(const COLMDoc&) = delete;

    void Save();
    // Asks for a path through the host; false when the user cancelled.
    bool SaveAs();
    // false when a question was answered Cancel.
    bool SaveAsPath(const std::string& target);
    // Asks first when there are unsaved changes; false when the user kept them.
    bool Revert();
    // The close questions; true when the document may close.
    bool CanClose();
    // For a document closed without its questions (the command line at its end): a file the
    // system made for it is not left behind.
    void DiscardTemporaryWorkingFile();

    bool CanSave() const;
    bool CanRevert() const;
    bool LoopChanged() const;

    SoundInfo& Info() { return info_; }
    const SoundInfo& Info() const { return info_; }
    const std::string& WorkingPath() const { return workingPath_; }
    const std::string& OriginalPath() const { return originalPath_; }
    const std::string& OpenedPath() const { return openedPath_; }
    const std::string& Title() const { return title_; }
    const std::string& UndoPath() const { return undoPath_; }
    const std::string& RedoPath() const { return redoPath_; }
    const platform::FileStatus& OriginalStatus() const { return originalStatus_; }
    bool DataChanged() const { return dataChanged_; }
    bool MadeFromTempFile() const { return madeFromTempFile_; }
    bool ReadOnly() const { return readOnly_; }
    bool FileBackup() const { return fileBackup_; }
    bool HdMisaligned() const { return hdMisaligned_; }

    void SetDataChanged() {
        if (dataChanged_) return;
        dataChanged_ = true;
        host_.DocumentStateChanged();
    }
    // After an operation failed part way the working file may be incomplete: it is not written
    // over the original (Save, the close question) unless Revert brings the original back.
    bool Damaged() const { return damaged_; }
    void SetDamaged(bool damaged) { damaged_ = damaged; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    // The working file now lives at `path` (a whole-file conversion renamed it). For a file
    // edited in place that is the user's file, so the opened path follows.
    void ChangeWorkingPath(const std::string& path);

    std::uint32_t selectionStart = 0;
    std::uint32_t selectionEnd = 0;
    std::uint32_t selectionLock = 0;  // 0 none, 1 position, 2 length
    std::uint32_t loopLock = 0;       // 0 none, 1 position, 2 length
    std::uint32_t playCursor = 0;
    bool loopMode = false;  // loop playback on or off
    ViewSettings view;
    // The ID3 v1.1 fields an MP3 export writes; an MP3 import fills them from its file.
    TagFields tag;
    // For a document an MP3 import made: the MP3 file it came from (canonical path).
    std::string importedFrom;

    DocumentHost& Host() { return host_; }
    UndoStore& Undo() { return undo_; }

    // Opens the working file for an operation; "File read error" when it cannot be opened.
    platform::File OpenWorkingFile(bool forWriting) const;
    // Rewrites the working file's header from the fields of Info() (length or format changed).
    void RefreshWorkingHeader();
    // Reads the format from the working file again, keeping the loop (a whole-file restore).
    void ReReadFormatKeepingLoop();

    void AddObserver(DocumentObserver* observer) { observers_.push_back(observer); }
    void RemoveObserver(DocumentObserver* observer);
    void NotifyFramesChanged(std::uint32_t first, std::uint32_t count);
    void NotifyFramesRemoved(std::uint32_t first, std::uint32_t count);
    void NotifyFramesInserted(std::uint32_t first, std::uint32_t count);
    void NotifySoundReplaced();

    // The waveform image the application made for this document; it follows the frames from
    // now on and takes over the file's stored image at once.
    void AttachImage(std::unique_ptr<DocumentImage> image);
    DocumentImage* Image() { return image_.get(); }
    const DocumentImage* Image() const { return image_.get(); }

    // Bytes of the document's own files in the working directory (undo, redo, image).
    std::uint64_t WorkingDirectoryFilesSize() const;
    // Moves those files into `workDir` under new names (a working-directory change).
    void MoveWorkingDirectoryFiles(const std::string& workDir);

    // Whether this document works on the file (compared as canonical paths).
    bool RefersTo(const std::string& path) const;

private:
    explicit COLMDoc(DocumentHost& host);
    static std::unique_ptr<COLMDoc> OpenChecked(DocumentHost& host, const OpenRequest& request);
    void MakeUndoFiles();
    void MakeEditingCopy(const std::string& source);
    // Asks whether to edit the original after the copy failed for `reason`; raises Cancelled on No.
    void EditOriginalOrStop(const std::string& reason);
    void ReadWorkingFile();
    void OfferHdPlayRewrite();
    void WriteLoopIntoWorkingFile();
    void WriteCompleteCopy(const std::string& path);
    void RememberSavedLoop();
    void ReadOriginalStatus();
    std::string SaveTarget() const;
    bool ConfirmOverwrite(const std::string& target);
    void WriteTo(const std::string& target);
    void RebindTo(const std::string& target);
    bool SaveOntoOriginalAtClose();
    bool AskSaveAsUntilDone();
    std::uint64_t ImageBlockBytes();
    void StampSavedFile(const std::string& path);

    DocumentHost& host_;
    SoundInfo info_;
    UndoStore undo_;
    std::vector<DocumentObserver*> observers_;
    std::string undoPath_, redoPath_;
    std::string workingPath_, originalPath_, openedPath_, backupCopyPath_, title_;
    platform::FileStatus originalStatus_;
    bool dataChanged_ = false;
    bool damaged_ = false;
    bool madeFromTempFile_ = false;
    bool readOnly_ = false;
    bool fileBackup_ = false;
    bool hdMisaligned_ = false;
    std::optional<std::int64_t> imageStamp_;  // of the block stored by the last save
    std::unique_ptr<DocumentImage> image_;  // last: it goes first, while the rest still stands
};

}  // namespace pelmora
