#include "app/ApplicationState.h"

#include <algorithm>
#include <filesystem>

#include "base/Error.h"
#include "display/DocumentWaveform.h"
#include "document/FileCopy.h"
#include "document/TempFiles.h"
#include "platform/File.h"

namespace pelmora {

ApplicationState::ApplicationState(Prompter& prompter, ProgressTask& progress,
                                   SaveAsChooser chooser)
    : prompter_(prompter), progress_(progress), chooser_(std::move(chooser)) {
    previousInFlightListener_ = SetFilesInFlightListener([this] { RefreshManifest(); });
}

ApplicationState::~ApplicationState() {
    SetFilesInFlightListener(std::move(previousInFlightListener_));
    if (COLMDoc* active = audio.Active()) audio.DocumentClosing(*active);
    documents_.clear();
    if (!clip_.path.empty()) RemoveTemporary(clip_.path);
    clip_.path.clear();
    // Gone, unless files that could not be deleted stay named for the next start.
    RefreshManifest();
}

bool ApplicationState::IsOpenInOtherDocument(const std::string& path, const COLMDoc& self) const {
    const std::string wanted = platform::CanonicalPath(path);
    for (const auto& doc : documents_) {
        if (doc.get() == &self) continue;
        if (doc->RefersTo(path)) return true;
        if (!doc->WorkingPath().empty() && platform::CanonicalPath(doc->WorkingPath()) == wanted)
            return true;
    }
    return false;
}

std::optional<std::string> ApplicationState::ChooseSaveAsPath(const COLMDoc& document) {
    if (!chooser_) return std::nullopt;
    return chooser_(document);
}

void ApplicationState::SetWorkDirAtStartup(const std::string& dir) {
    // An absolute path, so that files the user names keep meaning what they meant where the
    // program was started.
    std::error_code error;
    if (!dir.empty() && std::filesystem::is_directory(dir, error)) {
        workDir_ = platform::CanonicalPath(dir);
        return;
    }
    workDir_ = platform::CanonicalPath(".");
}

bool ApplicationState::CreateClipFile() {
    auto clip = UniqueTempName(workDir_, kClipPrefix);
    if (!clip) return false;
    if (!clip_.path.empty()) RemoveTemporary(clip_.path);
    clip_.path = *clip;
    clip_.info = ClipInfo{};
    RefreshManifest();
    return true;
}

void ApplicationState::ChangeWorkingDirectory(const std::string& dir) {
    std::uint64_t needed = 0;
    const std::int64_t clipSize = clip_.path.empty() ? -1 : platform::FileSize(clip_.path);
    if (clipSize >= 0) {
        needed = static_cast<std::uint64_t>(clipSize);
        for (const auto& doc : documents_) needed += doc->WorkingDirectoryFilesSize();
    }
    if (InsufficientSpaceOnDrive(dir, needed)) throw Error(StringId::EmptyDiskSpace);

    const auto clip = UniqueTempName(dir, kClipPrefix);
    if (!clip) throw Error(StringId::FileCreatingError);
    try {
        if (clipSize >= 0) RelocateFile(clip_.path, *clip, StringId::ChangingWorkingVolume, progress_);
    } catch (...) {
        RemoveTemporary(*clip);  // the old clip stays where it was; the new name goes
        throw;
    }
    clip_.path = *clip;
    workDir_ = platform::CanonicalPath(dir);
    for (const auto& doc : documents_) doc->MoveWorkingDirectoryFiles(workDir_);
    RefreshManifest();
}

std::optional<std::string> ApplicationState::Browse(const FolderChooser& choose) {
    browsing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{browsing_};
    return choose(workDir_);
}

bool ApplicationState::SelectWorkingDirectory(const FolderChooser& choose) {
    for (;;) {
        const std::optional<std::string> dir = Browse(choose);
        if (!dir) return false;
        try {
            ChangeWorkingDirectory(*dir);
            return true;
        } catch (const Error& e) {
            // Nothing moved, so the previous directory still holds; offer the browser again.
            if (e.Id() != StringId::EmptyDiskSpace) throw;
            prompter_.Message(e.Message());
        }
    }
}

void ApplicationState::ConfirmWorkingDirectory(const FolderChooser& choose) {
    for (;;) {
        const std::string previous = workDir_;
        if (const std::optional<std::string> dir = Browse(choose)) workDir_ = platform::CanonicalPath(*dir);
        if (CreateClipFile()) return;
        workDir_ = previous;
    }
}

COLMDoc& ApplicationState::Open(const std::string& path) { return OpenWithMark(path, false); }

COLMDoc& ApplicationState::OpenMadeFile(const std::string& path) {
    return OpenWithMark(path, true);
}

COLMDoc* ApplicationState::OpenFromShell(const std::string& path) {
    if (browsing_) return nullptr;
    if (AtDocumentLimit()) {
        if (!tooManyWarningShown_) prompter_.Message(Text(StringId::NoMoreFiles));
        tooManyWarningShown_ = true;
        return nullptr;
    }
    return &Open(path);
}

COLMDoc& ApplicationState::OpenWithMark(const std::string& quotedPath, bool importMark, bool recovery) {
    // Every way of opening takes a path in surrounding double quotes as the path without them.
    const bool quoted = quotedPath.size() >= 2 && quotedPath.front() == '"' && quotedPath.back() == '"';
    const std::string path = quoted ? quotedPath.substr(1, quotedPath.size() - 2) : quotedPath;
    if (AtDocumentLimit()) throw Error(StringId::NoMoreFiles);
    if (!importMark) {
        for (const auto& doc : documents_) {
            if (doc->RefersTo(path)) {
                current_ = doc.get();
                return *doc;
            }
        }
    }
    OpenRequest request{path, fileBackup, importMark, recovery};
    std::unique_ptr<COLMDoc> opened = COLMDoc::OpenDocument(*this, request);
    try {
        opened->AttachImage(std::make_unique<DocumentWaveform>(*opened));
    } catch (...) {
        // A document that failed to open is not listed, and a file made for it goes too.
        opened.reset();
        if (importMark && !recovery) RemoveTemporary(path);
        throw;
    }
    documents_.push_back(std::move(opened));
    current_ = documents_.back().get();
    if (!importMark) recentFiles.Add(platform::CanonicalPath(path));
    RefreshManifest();
    return *current_;
}

void ApplicationState::Remove(COLMDoc& document) {
    auto it = std::find_if(documents_.begin(), documents_.end(),
                           [&](const auto& d) { return d.get() == &document; });
    if (it == documents_.end()) return;
    audio.DocumentClosing(document);
    documents_.erase(it);
    current_ = documents_.empty() ? nullptr : documents_.back().get();
    if (documents_.size() < kMaxDocuments) tooManyWarningShown_ = false;
    RefreshManifest();
}

bool ApplicationState::Close(COLMDoc& document) {
    if (!document.CanClose()) return false;
    Remove(document);
    return true;
}

bool ApplicationState::CloseAll() {
    while (!documents_.empty()) {
        if (!Close(*documents_.back())) return false;
    }
    return true;
}

void ApplicationState::Discard(COLMDoc& document) {
    document.DiscardTemporaryWorkingFile();
    Remove(document);
}

void ApplicationState::EnumerateDevices() {
    if (devices.Enumerated()) return;
    devices.Enumerate({soundDevices.inMid, soundDevices.inPid, soundDevices.outMid, soundDevices.outPid});
}

}  // namespace pelmora

namespace pelmora {

void ApplicationState::RescanScsi() { RescanScsi(aspiManager_.Entry()); }

void ApplicationState::RescanScsi(const AspiEntryPoints& entry) {
    instruments_.Free();
    instruments_.Scan(entry);
}

}  // namespace pelmora
