// Crash recovery for the application: this process's manifest, and the leftovers of processes
// that no longer run.

#include "app/ApplicationState.h"

#include "base/Error.h"
#include "document/TempFiles.h"
#include "platform/File.h"

namespace pelmora {

namespace {

ManifestDocument EntryFor(const COLMDoc& doc) {
    ManifestDocument entry;
    entry.original = platform::CanonicalPath(doc.FileBackup()          ? doc.OriginalPath()
                                             : doc.MadeFromTempFile() ? ""
                                                                      : doc.WorkingPath());
    entry.title = doc.Title();
    entry.working = doc.WorkingPath();
    // With File Backup off the working file is the user's own: never recovered nor deleted.
    entry.ownWorking = doc.FileBackup() || doc.MadeFromTempFile();
    entry.undo = doc.UndoPath();
    entry.redo = doc.RedoPath();
    if (const DocumentImage* image = doc.Image()) entry.image = image->WorkingFilePath();
    if (doc.LoopChanged()) entry.loop = ManifestLoop{doc.Info().loopOn, doc.Info().loopStart, doc.Info().loopEnd};
    entry.changed = entry.ownWorking && (doc.DataChanged() || doc.MadeFromTempFile() || doc.LoopChanged());
    return entry;
}

}  // namespace

void ApplicationState::RefreshManifest() {
    Manifest manifest;
    manifest.clip = clip_.path;
    for (const auto& doc : documents_) manifest.documents.push_back(EntryFor(*doc));
    manifest.removals = RetryRemovals();
    for (std::string& path : FilesInFlight()) manifest.removals.push_back(std::move(path));
    if (manifest.clip.empty() && manifest.documents.empty() && manifest.removals.empty()) {
        manifest_.Remove();  // nothing of ours in the folder
        return;
    }
    manifest_.Write(workDir_, std::move(manifest));
}

void ApplicationState::CollectLeftovers() { leftovers_ = pelmora::CollectLeftovers(workDir_); }

COLMDoc& ApplicationState::Recover(std::size_t index) {
    const RecoverableDocument leftover = leftovers_.at(index);
    COLMDoc& doc = OpenWithMark(leftover.working, true, true);
    ForgetLeftover(leftover);
    leftovers_.erase(leftovers_.begin() + static_cast<std::ptrdiff_t>(index));
    doc.SetTitle(platform::FileNameOf(leftover.original));
    // Loop points set after the last save lived in memory; ones the sound cannot hold are dropped.
    SoundInfo& info = doc.Info();
    if (leftover.loop && leftover.loop->start <= leftover.loop->end && leftover.loop->end <= info.frames) {
        info.loopOn = leftover.loop->on;
        info.loopStart = leftover.loop->start;
        info.loopEnd = leftover.loop->end;
    }
    RefreshManifest();
    return doc;
}

void ApplicationState::DiscardLeftovers() {
    for (const RecoverableDocument& leftover : leftovers_) DiscardLeftover(leftover);
    leftovers_.clear();
}

std::vector<COLMDoc*> ApplicationState::OfferRecovery() {
    std::vector<COLMDoc*> opened;
    for (std::size_t i = 0; i < leftovers_.size();) {
        const RecoverableDocument& leftover = leftovers_[i];
        const Answer answer = prompter_.Ask(FormatText(StringId::RecoverQuestion, leftover.original.c_str(),
                                                       LocalTimeText(leftover.changedSince).c_str()),
                                            Buttons::YesNoCancel);
        if (answer == Answer::Cancel) break;
        if (answer == Answer::No) {
            DiscardLeftover(leftover);
            leftovers_.erase(leftovers_.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        try {
            opened.push_back(&Recover(i));
        } catch (const Error& e) {
            prompter_.Message(e.Message());  // kept, for another try at the next start
            ++i;
        } catch (const Cancelled&) {
            ++i;
        }
    }
    return opened;
}

}  // namespace pelmora
