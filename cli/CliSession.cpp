#include "cli/CliSession.h"

#include "app/Profile.h"
#include "base/Error.h"
#include "cli/Commands.h"

namespace pelmora::cli {

CliSession::CliSession(bool drawProgress) : progress_(drawProgress), app_(prompter_, progress_) {}

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
    if (!app_.CreateClipFile()) throw Error(StringId::FileCreatingError);
}

COLMDoc& CliSession::Current() {
    COLMDoc* doc = app_.Current();
    if (!doc) throw CommandFailure("no document is open");
    return *doc;
}

void CliSession::CloseAll() {
    while (!app_.Documents().empty()) {
        COLMDoc& doc = *app_.Documents().back();
        bool closed = false;
        try {
            closed = app_.Close(doc);
        } catch (const Error& e) {
            prompter_.Message(e.Message());
        } catch (const Cancelled&) {
        }
        if (!closed) {
            std::fprintf(stderr, "pelmora-cli: %s closed without saving\n", doc.Title().c_str());
            app_.Discard(doc);
        }
    }
}

}  // namespace pelmora::cli
