#include "edit/EditFrame.h"

#include "base/Error.h"
#include "document/TempFiles.h"

namespace pelmora {

namespace {

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
    if (InsufficientSpaceForEdit(doc.Host().WorkDir(), doc.WorkingPath(), plan.needs.undoBytes,
                                 plan.needs.growth)) {
        throw Error(StringId::EmptyDiskSpace);
    }
    UndoStore& undo = doc.Undo();
    undo.SaveUndo(doc, plan.code, plan.undo.start, plan.undo.end, plan.undo.channels);

    UndoRange redo;
    try {
        redo = operation();
    } catch (const Cancelled&) {
        // Stopped by the user: the half-done edit stands, whole, and can be undone.
        doc.Host().Progress().End();
        doc.SetDataChanged();
        throw;
    } catch (...) {
        doc.Host().Progress().End();
        doc.SetDataChanged();
        doc.SetDamaged(true);
        // An edit in place failed within the frames the undo copy holds: Undo brings them back.
        if (!ChangesLength(plan.code))
            undo.DeferRedo(doc, plan.code, plan.undo.start, plan.undo.end, plan.undo.channels);
        throw;
    }
    doc.selectionLock = 0;
    if (doc.playCursor > doc.Info().frames) doc.playCursor = doc.Info().frames;
    doc.SetDataChanged();
    if (ChangesLength(plan.code)) {
        try {
            doc.RefreshWorkingHeader();
        } catch (...) {
            doc.SetDamaged(true);
            throw;
        }
    }
    // Most edits are never undone: the redo copy waits for the first Undo, which finds the
    // frames in the working file. Whole-file operations swap files and keep their own copy.
    if (plan.code == OperationCode::WholeFile) {
        undo.SaveRedo(doc, plan.code, redo.start, redo.end, redo.channels);
    } else {
        undo.DeferRedo(doc, plan.code, redo.start, redo.end, redo.channels);
    }
    return true;
}

}  // namespace pelmora
