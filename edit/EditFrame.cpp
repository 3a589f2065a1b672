#include "edit/EditFrame.h"

#include "base/Error.h"
#include "document/TempFiles.h"
#include "platform/FreeSpace.h"

namespace pelmora {

namespace {

void CheckDiskSpace(COLMDoc& doc, const DiskNeeds& needs) {
    const std::string& workDir = doc.Host().WorkDir();
    const std::string workingFolder = platform::FolderOf(doc.WorkingPath());
    if (platform::SameFilesystem(workDir, workingFolder)) {
        if (InsufficientSpaceOnDrive(workDir, needs.undoBytes + needs.growth))
            throw Error(StringId::EmptyDiskSpace);
        return;
    }
    if (InsufficientSpaceOnDrive(workDir, needs.undoBytes) ||
        InsufficientSpaceOnDrive(workingFolder, needs.growth)) {
        throw Error(StringId::EmptyDiskSpace);
    }
}

bool ChangesLength(OperationCode code) {
    switch (code) {
    case OperationCode::InPlace:
    case OperationCode::OtherInPlace: return false;
    default: return true;
    }
}

}  // namespace

bool RunEdit(COLMDoc& doc, const EditPlan& plan, const std::function<UndoRange()>& operation) {
    if (doc.ReadOnly() || platform::HasReadOnlyAttribute(doc.WorkingPath()))
        throw Error(StringId::FileIsReadOnly);
    if (plan.clip && plan.clip->sampleRate != doc.Info().sampleRate) {
        const Answer answer =
            doc.Host().Prompts().Ask(Text(StringId::ClipRateQuestion), Buttons::OkCancel);
        if (answer != Answer::Ok) return false;
    }
    CheckDiskSpace(doc, plan.needs);
    UndoStore& undo = doc.Undo();
    undo.SaveUndo(doc, plan.code, plan.undo.start, plan.undo.end, plan.undo.channels);

    UndoRange redo;
    try {
        redo = operation();
    } catch (...) {
        doc.Host().Progress().End();
        doc.SetDataChanged();
        throw;
    }
    doc.selectionLock = 0;
    if (doc.playCursor > doc.Info().frames) doc.playCursor = doc.Info().frames;
    if (ChangesLength(plan.code)) doc.RefreshWorkingHeader();
    doc.SetDataChanged();
    undo.SaveRedo(doc, plan.code, redo.start, redo.end, redo.channels);
    return true;
}

}  // namespace pelmora
