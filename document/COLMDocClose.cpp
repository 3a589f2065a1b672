// The questions a document asks when it closes, and the save they may lead to.

#include "base/Error.h"
#include "document/COLMDoc.h"
#include "document/FileCopy.h"
#include "document/TempFiles.h"

namespace pelmora {

bool COLMDoc::AskSaveAsUntilDone() {
    for (;;) {
        try {
            return SaveAs();
        } catch (const Error& e) {
            host_.Prompts().Message(e.Message());
        }
    }
}

// Yes to the close question with File Backup on: the editing copy, loop data written into a
// copy of it, replaces the original. False keeps the document open.
bool COLMDoc::SaveOntoOriginalAtClose() {
    const std::string target = SaveTarget();
    const bool renamed = platform::CanonicalPath(target) != platform::CanonicalPath(originalPath_);
    if (InsufficientSpaceOnDrive(originalPath_, info_.workingFileLength + ImageBlockBytes())) {
        host_.Prompts().Message(Text(StringId::EmptyDiskSpace));
        return false;
    }
    if (renamed && platform::FileExists(target) && !ConfirmOverwrite(target)) return false;
    WriteFileSafely(target, [&](const std::string& partial) { WriteCompleteCopy(partial); });
    StampSavedFile(target);
    if (renamed) platform::RemoveFile(originalPath_);
    return true;
}

bool COLMDoc::CanClose() {
    const bool workingGone = !platform::FileExists(workingPath_);
    const bool originalGone = fileBackup_ && !platform::FileExists(originalPath_);
    if (workingGone) return true;
    if (originalGone && !madeFromTempFile_) {
        // The editing copy is now the only data: offer to keep it when it holds changes.
        if (!dataChanged_ && !LoopChanged()) return true;
        const Answer answer = host_.Prompts().Ask(
            FormatText(StringId::SaveThisFile, title_.c_str()), Buttons::YesNoCancel);
        if (answer == Answer::Cancel) return false;
        return answer == Answer::No || AskSaveAsUntilDone();
    }
    if (madeFromTempFile_) {
        const Answer answer = host_.Prompts().Ask(
            FormatText(StringId::SaveThisFile, title_.c_str()), Buttons::YesNoCancel);
        if (answer == Answer::Cancel) return false;
        if (answer == Answer::Yes) return AskSaveAsUntilDone();
        DiscardTemporaryWorkingFile();
        return true;
    }
    if (!fileBackup_) {
        // Edits are in the file already; the loop and instrument data are written unasked.
        if (LoopChanged() || dataChanged_) {
            WriteLoopIntoWorkingFile();
            RememberSavedLoop();
        }
        return true;
    }
    const bool originalReadOnly = platform::HasReadOnlyAttribute(originalPath_);
    if (!dataChanged_) {
        if (!LoopChanged() || originalReadOnly) return true;
        const Answer answer = host_.Prompts().Ask(
            FormatText(StringId::CloseSaveOntoOriginal, originalPath_.c_str()),
            Buttons::YesNoCancel);
        if (answer == Answer::Cancel) return false;
        return answer == Answer::No || SaveOntoOriginalAtClose();
    }
    if (originalReadOnly) {
        return host_.Prompts().Ask(Text(StringId::CannotSaveReadOnly), Buttons::OkCancel) ==
               Answer::Ok;
    }
    if (damaged_) {
        // Only a new file may take what the failed operation left.
        host_.Prompts().Message(Text(StringId::LastOperationFailed));
        const Answer answer = host_.Prompts().Ask(
            FormatText(StringId::SaveThisFile, title_.c_str()), Buttons::YesNoCancel);
        if (answer == Answer::Cancel) return false;
        return answer == Answer::No || AskSaveAsUntilDone();
    }
    const Answer answer = host_.Prompts().Ask(
        FormatText(StringId::CloseSaveOntoOriginal, originalPath_.c_str()), Buttons::YesNoCancel);
    if (answer == Answer::Cancel) return false;
    return answer == Answer::No || SaveOntoOriginalAtClose();
}

}  // namespace pelmora
