// The Edit menu: undo, the clipboard, the effects with their dialogs, and the loop commands.

#include "app/ui/MainFrame.h"
#include "base/ui/Translate.h"
#include "document/LoopFlag.h"
#include "edit/AmplitudeOps.h"
#include "edit/ClipboardOps.h"
#include "edit/DcOffset.h"
#include "edit/Equalizer.h"
#include "edit/LoopCrossfade.h"
#include "edit/PitchShift.h"
#include "edit/Reverse.h"
#include "edit/Selection.h"
#include "edit/TimeCompExp.h"
#include "edit/ui/DcOffsetDialog.h"
#include "edit/ui/EqDialog.h"
#include "edit/ui/GainDialog.h"
#include "edit/ui/LoopCrossfadeDialog.h"
#include "edit/ui/NormalizeDialog.h"
#include "edit/ui/PitchShiftDialog.h"
#include "edit/ui/TimeCompExpDialog.h"

namespace pelmora {

void CMainFrame::BuildEditCommands() {
    const auto hasDoc = [this] { return ActiveDocument() != nullptr; };
    const auto hasSelection = [this] {
        COLMDoc* d = ActiveDocument();
        return d && d->selectionEnd > d->selectionStart;
    };
    const auto hasClip = [this] { return ActiveDocument() && app_->GetClip().info.valid; };

    Register(CommandId::Undo, Tr("Undo"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { d.Undo().UndoOrRedo(d); }),
             [this] { COLMDoc* d = ActiveDocument(); return d && d->Undo().Enabled(); });
    Register(CommandId::Cut, Tr("Cut"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame& f) { Cut(d, f.App().GetClip()); }), hasSelection);
    Register(CommandId::Copy, Tr("Copy"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame& f) { Copy(d, f.App().GetClip()); }), hasSelection);
    Register(CommandId::Paste, Tr("Paste"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame& f) { Paste(d, f.App().GetClip()); }), hasClip);
    Register(CommandId::Insert, Tr("Insert"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame& f) { Insert(d, f.App().GetClip()); }), hasClip);
    Register(CommandId::Clear, Tr("Clear"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { Clear(d); }), hasSelection);
    Register(CommandId::SelectAll, Tr("Select All"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { SelectAll(d); }), hasDoc);
    Register(CommandId::Trim, Tr("Trim"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { Trim(d); }), hasSelection);
    Register(CommandId::Mix, Tr("Mix"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame& f) { Mix(d, f.App().GetClip()); }), hasClip);
    Register(CommandId::SelectionToNew, Tr("Selection to New"), QKeySequence(), [this] {
        if (COLMDoc* d = ActiveDocument()) {
            Guarded([&] {
                COLMDoc& made = app_->OpenMadeFile(SelectionToNew(*d));
                ShowDocument(made);
            });
        }
    }, hasSelection);
    Register(CommandId::Gain, Tr("Gain..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        GainDialog dialog(app_->effectDialogs.gain, this);
        if (d && dialog.exec() == QDialog::Accepted && dialog.Rate())
            Guarded([&] { Gain(*d, *dialog.Rate()); });
    }, hasSelection);
    Register(CommandId::Normalize, Tr("Normalize..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        NormalizeDialog dialog(app_->effectDialogs.normalize, this);
        if (d && dialog.exec() == QDialog::Accepted)
            Guarded([&] { Normalize(*d, app_->effectDialogs.normalize.Rate()); });
    }, hasSelection);
    Register(CommandId::DcOffset, Tr("DC Offset..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        DcOffsetDialogModel& model = app_->effectDialogs.dcOffset;
        DcOffsetDialog dialog(model, this);
        if (d && dialog.exec() == QDialog::Accepted) Guarded([&] { DcOffset(*d, model.Mode(), model.Value()); });
    }, hasSelection);
    Register(CommandId::LoopCrossfade, Tr("Loop Crossfade..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        if (!d) return;
        CrossfadeDialogModel& model = app_->effectDialogs.crossfade;
        model.Open(d->Info());
        LoopCrossfadeDialog dialog(model, this);
        if (dialog.exec() != QDialog::Accepted) return;
        Guarded([&] {
            LoopCrossfade(*d, model.Type(), model.SustainPercent(), model.ReleasePercent(), model.Curve());
        });
    }, [this] { COLMDoc* d = ActiveDocument(); return d && d->Info().loopEnd != d->Info().loopStart; });
    Register(CommandId::Equalizer, Tr("EQ..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        if (!d) return;
        EqDialogModel& model = app_->effectDialogs.eq;
        model.Open(d->Info().sampleRate);
        EqDialog dialog(model, this);
        if (dialog.exec() == QDialog::Accepted) Guarded([&] { Equalize(*d, model.Bands()); });
    }, hasSelection);
    Register(CommandId::TimeCompExp, Tr("Time Comp/Exp..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        if (!d || !TimeCompExpApplies(*d)) return;
        TimeDialogModel& model = app_->effectDialogs.time;
        TimeCompExpDialog dialog(model, d->selectionEnd - d->selectionStart, this);
        if (dialog.exec() == QDialog::Accepted) Guarded([&] { TimeCompExp(*d, model.Modified()); });
    }, [this] { COLMDoc* d = ActiveDocument(); return d && TimeCompExpApplies(*d); });
    Register(CommandId::PitchShift, Tr("Pitch Shift..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        if (!d) return;
        PitchDialogModel& model = app_->effectDialogs.pitch;
        PitchShiftDialog dialog(model, this);
        if (dialog.exec() == QDialog::Accepted) Guarded([&] { PitchShift(*d, model.Rate()); });
    }, hasSelection);
    Register(CommandId::FadeIn, Tr("Fade In"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { FadeIn(d); }), hasSelection);
    Register(CommandId::FadeOut, Tr("Fade Out"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { FadeOut(d); }), hasSelection);
    Register(CommandId::Invert, Tr("Invert"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { Invert(d); }), hasSelection);
    Register(CommandId::Reverse, Tr("Reverse"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { Reverse(d); }), hasSelection);
    Register(CommandId::Silence, Tr("Silence"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { Silence(d); }), hasSelection);
    auto hasLoop = [this] { COLMDoc* d = ActiveDocument(); return d && LoopFlagApplies(d->Info()); };
    Register(CommandId::SelectLoop, Tr("Select Loop"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { SelectLoop(d); }), hasLoop);
    Register(CommandId::SelectionToLoop, Tr("Select to Loop"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { SelectionToLoop(d); }), hasDoc);
    Register(CommandId::LoopOn, Tr("Loop On"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { ToggleLoopOn(d.Info()); }), hasLoop,
             [this] { COLMDoc* d = ActiveDocument(); return d && LoopFlagApplies(d->Info()) && d->Info().loopOn; });
}

}  // namespace pelmora
