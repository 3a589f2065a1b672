#pragma once
// What the application owns for all documents, without widgets: the working directory and
// clip file, the File Backup option, the import mark, and the open documents with their limit.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/COLMDoc.h"
#include "app/RecentFiles.h"
#include "app/ShortcutRecords.h"
#include "audio/AudioEngine.h"
#include "audio/SoundDevices.h"
#include "display/SnapEdge.h"
#include "document/DocumentHost.h"
#include "document/Recovery.h"
#include "edit/Clip.h"
#include "edit/EffectDialogs.h"
#include "sampler/AspiManager.h"
#include "sampler/InstrumentList.h"

namespace pelmora {

inline constexpr std::size_t kMaxDocuments = 20;

class ApplicationState : public DocumentHost {
public:
    using SaveAsChooser = std::function<std::optional<std::string>(const COLMDoc&)>;

    ApplicationState(Prompter& prompter, ProgressTask& progress, SaveAsChooser chooser = {});
    ~ApplicationState() override;

    // DocumentHost
    const std::string& WorkDir() const override { return workDir_; }
    Prompter& Prompts() override { return prompter_; }
    ProgressTask& Progress() override { return progress_; }
    bool IsOpenInOtherDocument(const std::string& path, const COLMDoc& self) const override;
    std::optional<std::string> ChooseSaveAsPath(const COLMDoc& document) override;
    void DocumentStateChanged() override { RefreshManifest(); }

    // Start-up: the directory from the profile, or the current one when it is empty or gone.
    void SetWorkDirAtStartup(const std::string& dir);
    // Creates the clip file in the working directory; false when it cannot be made.
    bool CreateClipFile();
    const std::string& ClipPath() const { return clip_.path; }
    // The clip of the last Copy or Cut, shared by every document.
    Clip& GetClip() { return clip_; }
    // Moves the clip and every document's undo and redo files into `dir`, which becomes the
    // working directory. "Empty disk space" when `dir`'s drive cannot hold them (nothing moved).
    void ChangeWorkingDirectory(const std::string& dir);

    // The folder browser of "Select Working Dir...": given the folder to preselect, the chosen
    // one, or nullopt when cancelled.
    using FolderChooser = std::function<std::optional<std::string>(const std::string& current)>;
    // "Select Working Dir...": browses until a folder whose drive holds the working files is
    // chosen ("Empty disk space" between tries) or the browser is cancelled (false).
    bool SelectWorkingDirectory(const FolderChooser& choose);
    // The first idle moment of a run: the browser once (cancelling keeps the directory), then the
    // clip file is made there; when that fails the previous directory comes back and the browser
    // is shown again, until the clip file is made.
    void ConfirmWorkingDirectory(const FolderChooser& choose);
    // Set while the browser is open; a file handed over meanwhile is ignored.
    bool Browsing() const { return browsing_; }

    bool fileBackup = true;
    // The "m" switch of the command line: document windows open maximised.
    bool displayFlag = false;
    // The File menu's recently opened sounds, and the chosen sound devices.
    RecentFiles recentFiles;
    SoundDeviceIds soundDevices;
    // The wave devices (listed at the first use) and the engine that plays and records.
    SoundDevices devices;
    AudioEngine audio{devices};
    // Lists the devices once, applying the ids of the profile.
    void EnumerateDevices();
    // "Auto Snap", shared by every document.
    SnapMode snapMode = SnapMode::None;
    // The effect dialogs' values, remembered until the process ends.
    EffectDialogs effectDialogs;
    // The ID3 v1.1 tag of the last imported MP3 file that had one.
    TagFields lastImportedTag;
    // The shortcut records behind the frame's accelerators and menu texts.
    ShortcutTable shortcuts = DefaultShortcuts();

    // Opens a sound as a document, or activates the document already open on it. Raises
    // "No more files can be opened." at the limit, and the open's own failures.
    COLMDoc& Open(const std::string& path);
    // Opens a file the system just made (New, imports): the import mark is set for it.
    COLMDoc& OpenMadeFile(const std::string& path);
    // A file handed over by the shell or a second instance: at the limit it is refused with
    // the message, shown once until the count drops below the limit again. Null when refused.
    COLMDoc* OpenFromShell(const std::string& path);

    // Runs the close questions; true when the document was closed.
    bool Close(COLMDoc& document);
    // Closes every document (Quit); false when one stays open.
    bool CloseAll();
    // Closes without questions; a file the system made is removed.
    void Discard(COLMDoc& document);

    // The ASPI manager, loaded once at start-up; false when it is not there (no instrument is
    // then ever found).
    bool LoadAspiManager() { return aspiManager_.Load(); }
    // "Rescan SCSI": the instrument list is freed and filled again by a scan of the bus.
    void RescanScsi();
    // The same scan through other entry points (which must outlive the list): benches and tests.
    void RescanScsi(const AspiEntryPoints& entry);
    const InstrumentList& Instruments() const { return instruments_; }

    const std::vector<std::unique_ptr<COLMDoc>>& Documents() const { return documents_; }
    COLMDoc* Current() { return current_; }
    void Activate(COLMDoc& document) { current_ = &document; }
    bool AtDocumentLimit() const { return documents_.size() >= kMaxDocuments; }

    // Crash recovery. This process's manifest names its files and documents; it is brought up
    // to date after every change and deleted when the state is destroyed.
    void RefreshManifest();
    // Start-up, once the working directory is settled: the leftovers of processes that no
    // longer run are cleared, except documents with unsaved changes, which wait in Leftovers().
    void CollectLeftovers();
    const std::vector<RecoverableDocument>& Leftovers() const { return leftovers_; }
    // Opens a leftover as a new document titled after its original, marked changed.
    COLMDoc& Recover(std::size_t index);
    // Deletes every leftover that waits.
    void DiscardLeftovers();
    // The editor's start: one question per leftover (Yes recovers it, No deletes it, Cancel
    // keeps it and the rest for the next start). The documents it opened.
    std::vector<COLMDoc*> OfferRecovery();

private:
    COLMDoc& OpenWithMark(const std::string& path, bool importMark, bool recovery = false);
    void Remove(COLMDoc& document);
    std::optional<std::string> Browse(const FolderChooser& choose);

    Prompter& prompter_;
    ProgressTask& progress_;
    SaveAsChooser chooser_;
    std::string workDir_ = ".";
    Clip clip_;
    bool tooManyWarningShown_ = false;
    bool browsing_ = false;
    std::vector<std::unique_ptr<COLMDoc>> documents_;
    COLMDoc* current_ = nullptr;
    AspiManager aspiManager_;
    InstrumentList instruments_;
    ManifestKeeper manifest_;
    std::function<void()> previousInFlightListener_;
    std::vector<RecoverableDocument> leftovers_;
};

}  // namespace pelmora
