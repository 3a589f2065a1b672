// The File menu's documents: new, open, close, save, revert, and the MP3 and sampler transfers.

#include <QApplication>
#include <QMdiSubWindow>

#include "app/Mp3Documents.h"
#include "app/SamplerDocuments.h"
#include "app/ui/MainFrame.h"
#include "base/ui/Translate.h"
#include "document/NewSoundFile.h"
#include "document/OpenDialogModel.h"
#include "document/ui/NewDialog.h"
#include "document/ui/OpenDialog.h"
#include "mp3/Mp3Export.h"
#include "mp3/ui/Mp3InOut.h"
#include "sampler/ui/SamplerDialog.h"

namespace pelmora {

void CMainFrame::BuildFileCommands() {
    const auto hasDoc = [this] { return ActiveDocument() != nullptr; };
    const auto canOpen = [this] { return !app_->AtDocumentLimit(); };

    Register(CommandId::New, Tr("New(&N)..."), QKeySequence(), [this] {
        NewDialog dialog(newModel_, app_->WorkDir(), *prompter_, this);
        if (dialog.exec() != QDialog::Accepted) return;
        Guarded([&] {
            const std::string made = CreateNewSoundFile(newModel_.Request(), app_->WorkDir(), *progress_);
            ShowDocument(app_->OpenMadeFile(made));
        });
    }, canOpen);
    Register(CommandId::Open, Tr("Open(&O)..."), QKeySequence(), [this] {
        const QString path = OpenDialog::ChooseSoundFile(this);
        if (path.isEmpty()) return;
        Guarded([&] {
            CheckChosenSoundFile(path.toStdString());
            ShowDocument(app_->Open(path.toStdString()));
        });
    }, canOpen);
    Register(CommandId::Close, Tr("Close"), QKeySequence(), [this] {
        if (QMdiSubWindow* window = mdi_->activeSubWindow()) window->close();
    }, hasDoc);
    Register(CommandId::Save, Tr("Save"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { d.Save(); }),
             [this] { COLMDoc* d = ActiveDocument(); return d && d->CanSave(); });
    Register(CommandId::SaveAs, Tr("Save As..."), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { d.SaveAs(); }), hasDoc);
    Register(CommandId::Revert, Tr("Revert"), QKeySequence(),
             OnActiveDocument([](COLMDoc& d, CMainFrame&) { d.Revert(); }),
             [this] { COLMDoc* d = ActiveDocument(); return d && d->CanRevert(); });
    Register(CommandId::ImportFromMp3, Tr("Import From MP3 File..."), QKeySequence(), [this] {
        const QString path = CMP3InOut::ChooseImportFile(this);
        if (path.isEmpty()) return;
        Guarded([&] { ShowDocument(ImportMp3(*app_, path.toStdString())); });
    }, canOpen);
    Register(CommandId::ExportToMp3, Tr("Export To MP3 File..."), QKeySequence(), [this] {
        COLMDoc* doc = ActiveDocument();
        if (!doc) return;
        CMP3InOut dialog(*doc, *prompter_, this);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
        const std::string path = dialog.selectedFiles().constFirst().toStdString();
        const Mp3ExportChoice choice = dialog.Options().Choice();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Guarded([&] { ExportMp3(*doc, path, choice); });
        QApplication::restoreOverrideCursor();
    }, hasDoc);
    Register(CommandId::ImportFromSampler, Tr(Text(StringId::ImportFromSampler)), QKeySequence(), [this] {
        Guarded([&] {
            const auto run = [this](smdi::SamplerDialogModel& model) { return CSamplerDlg::Run(model, this); };
            if (COLMDoc* doc = ImportFromSampler(*app_, run)) ShowDocument(*doc);
        });
    }, [this] { return ImportFromSamplerEnabled(*app_); });
    Register(CommandId::ExportToSampler, Tr(Text(StringId::ExportToSampler)), QKeySequence(), [this] {
        Guarded([&] {
            ExportToSampler(*app_, [this](smdi::SamplerDialogModel& model) { return CSamplerDlg::Run(model, this); });
        });
    }, [this] { return ExportToSamplerEnabled(*app_); });
    Register(CommandId::Quit, Tr("Quit(&X)"), QKeySequence(), [this] { close(); });
}

}  // namespace pelmora
