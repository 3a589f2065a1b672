#include "cli/CliSession.h"

#include <cstdio>

#include "app/Profile.h"
#include "base/Error.h"
#include "cli/Commands.h"

namespace pelmora::cli {

CliSession::CliSession(bool drawProgress) : progress_(drawProgress), app_(prompter_, progress_) {
    // No Record button here whose update would settle a recording.
    app_.audio.SetSettleOnStop(true);
}

void CliSession::SetWorkDir(const std::string& dir) {
    if (!started_) {
        requestedWorkDir_ = dir;
        return;
    }
    app_.ChangeWorkingDirectory(dir);
}

void CliSession::StartUp() {
    if (started_) return;
    started_ = true;
    std::string dir = requestedWorkDir_;
    if (dir.empty()) {
        Profile profile(Profile::DefaultPath());
        profile.Load();
        dir = profile.GetString("OLM App", "Work Dir").value_or("");
    }
    app_.SetWorkDirAtStartup(dir);
    // Before this process writes its own manifest: what crashed runs left is cleared here.
    app_.CollectLeftovers();
    if (!app_.CreateClipFile()) throw Error(StringId::FileCreatingError);
    Profile profile(Profile::DefaultPath());
    profile.Load();
    app_.soundDevices.Load(profile);
}

COLMDoc& CliSession::Current() {
    COLMDoc* doc = app_.Current();
    if (!doc) throw CommandFailure("no document is open");
    return *doc;
}

void CliSession::CloseAll() {
    // Only save and save-as write a user's file: the end of a run asks nothing and saves nothing.
    while (!app_.Documents().empty()) {
        COLMDoc& doc = *app_.Documents().back();
        if (doc.DataChanged() || doc.LoopChanged() || doc.MadeFromTempFile())
            std::fprintf(stderr, "pelmora-cli: %s closed without saving\n", doc.Title().c_str());
        app_.Discard(doc);
    }
}

}  // namespace pelmora::cli
