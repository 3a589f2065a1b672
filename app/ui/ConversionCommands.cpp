// The File menu's whole-file conversions and Resample: a dialog where the command has one, then
// the core's conversion on the active document.

#include <memory>

#include "app/ui/MainFrame.h"
#include "base/ui/Translate.h"
#include "document/Conversions.h"
#include "document/ui/ConversionDialogs.h"
#include "edit/Resample.h"
#include "edit/ui/ResampleDialog.h"

namespace pelmora {

void CMainFrame::BuildConversionCommands() {
    // The rule on the active document; the transport lock is the frame's own.
    const auto when = [this](bool (*rule)(const COLMDoc&)) {
        return [this, rule] {
            const COLMDoc* d = ActiveDocument();
            return d && rule(*d);
        };
    };
    const auto withDialog = [this](RadioChoiceDialog* (*make)(const COLMDoc&, QWidget*),
                                   void (*run)(COLMDoc&, int)) {
        return [this, make, run] {
            COLMDoc* d = ActiveDocument();
            if (!d) return;
            std::unique_ptr<RadioChoiceDialog> dialog(make(*d, this));
            if (dialog->exec() == QDialog::Accepted) Guarded([&] { run(*d, dialog->Selected()); });
        };
    };
    Register(CommandId::ConvertBitSize, Tr("Convert Bit Size..."), QKeySequence(),
             withDialog(MakeConvertBitSizeDialog,
                        [](COLMDoc& d, int choice) {
                            ConvertBitSize(d, BitSizeTargets(d.Info().bytesPerSample)[static_cast<std::size_t>(choice)]);
                        }),
             when(CanConvertBitSize));
    Register(CommandId::AddChannel, Tr("Add Channel"), QKeySequence(), [this] {
        if (COLMDoc* d = ActiveDocument()) Guarded([&] { AddChannel(*d); });
    }, when(CanAddChannel));
    Register(CommandId::DeleteChannel, Tr("Delete Channel..."), QKeySequence(),
             withDialog([](const COLMDoc&, QWidget* parent) { return MakeDeleteChannelDialog(parent); }, DeleteChannel),
             when(CanDeleteOrSwapChannels));
    Register(CommandId::SwapChannels, Tr("Swap Channels"), QKeySequence(), [this] {
        if (COLMDoc* d = ActiveDocument()) Guarded([&] { SwapChannels(*d); });
    }, when(CanDeleteOrSwapChannels));
    Register(CommandId::FormatConversion, Tr("Format Conversion..."), QKeySequence(),
             withDialog(MakeFormatConversionDialog,
                        [](COLMDoc& d, int choice) {
                            if (choice == 2) RewriteAiffHeaderForHdPlay(d);
                            else ConvertToOtherType(d);
                        }),
             when(CanConvertBitSize));
    Register(CommandId::Resample, Tr("Resample..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        if (!d) return;
        ResampleDialogModel model;
        model.Open(d->Info().sampleRate);
        ResampleDialog dialog(model, this);
        if (dialog.exec() == QDialog::Accepted && !model.SameRate()) Guarded([&] { Resample(*d, model.Settings()); });
    }, when(CanConvertBitSize));
}

}  // namespace pelmora
