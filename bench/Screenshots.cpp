// The editor as a new user first meets it, photographed: one stereo sound in a main frame of
// the default size, then tiled beside a second window, then at sample zoom with a loop. Each
// state is written as a PNG of the whole main frame (bench/screenshots.sh runs it under Xvfb).
// Then the File menu's conversion dialogs, the File menu with its shortcuts and the
// "Preference" sheet. First of all, the question that offers a sound left unsaved by a run that
// ended without closing.
//
//   pelmora-screenshots SOUND SECOND_SOUND OUT_DIR WORK_DIR

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "app/ui/MainFrame.h"
#include "document/Recovery.h"
#include "display/WaveformView.h"
#include "display/ui/ChildFrame.h"
#include "display/ui/PaneWForm.h"
#include "edit/Selection.h"

namespace {

void Settle() {
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
}

bool Shoot(QWidget& frame, const QString& file) {
    Settle();
    const bool saved = frame.grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

// What a killed run would have left in `workDir`: a changed working copy of `sound`, named by
// the manifest of a process that has ended.
void LeaveUnsavedSound(const std::string& sound, const std::string& workDir) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string copy = workDir + "/OLM_BACKUP_00-00-00";
    std::filesystem::copy_file(sound, copy, std::filesystem::copy_options::overwrite_existing);
    pelmora::Manifest manifest;
    manifest.process = {static_cast<int>(child), 1};
    manifest.documents.push_back({sound, "stereo.wav", copy, true, "", "", "", true, 1796860800, std::nullopt});
    const std::string text = pelmora::FormatManifest(manifest);
    FILE* file = std::fopen((workDir + "/OLM_MANIFEST_1-1").c_str(), "w");
    if (!file) return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelmora"));
    if (argc != 5) {
        std::fprintf(stderr, "usage: pelmora-screenshots SOUND SECOND_SOUND OUT_DIR WORK_DIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[3]);
    pelmora::CMainFrame frame;
    frame.App().SetWorkDirAtStartup(argv[4]);
    if (!frame.App().CreateClipFile()) return 1;
    frame.show();
    bool ok = true;
    LeaveUnsavedSound(argv[1], argv[4]);
    frame.App().CollectLeftovers();
    QTimer::singleShot(0, [&] {
        if (QWidget* question = QApplication::activeModalWidget()) {
            ok = Shoot(*question, out + "/0-recover.png") && ok;
            question->close();  // Cancel: kept for the next start
        }
    });
    if (!frame.App().OfferRecovery().empty() || frame.App().Leftovers().size() != 1) {
        std::printf("the recovery question did not keep its sound\n");
        ok = false;
    }
    frame.OpenSound(QString::fromLocal8Bit(argv[1]));
    pelmora::CChildFrame* first = frame.ActiveChild();
    if (!first) return 1;
    ok = Shoot(frame, out + "/1-default.png") && ok;

    frame.OpenSound(QString::fromLocal8Bit(argv[2]));
    frame.Run(pelmora::CommandId::TileVertically);
    ok = Shoot(frame, out + "/2-tiled.png") && ok;

    // The first window again, alone and maximised, at the finest zoom over a loop that is on.
    frame.Run(pelmora::CommandId::Close);
    Settle();
    pelmora::COLMDoc& doc = first->Document();
    if (auto* window = qobject_cast<QMdiSubWindow*>(first->parentWidget())) window->showMaximized();
    Settle();
    pelmora::SetLoop(doc, 44110, 44200, true);
    doc.selectionStart = 44140;
    doc.selectionEnd = 44160;
    frame.Run(pelmora::CommandId::HorizontalFullZoomIn);
    pelmora::ScrollToFrame(doc, 44100, first->WaveformPane()->Context());
    first->Refresh();
    ok = Shoot(frame, out + "/3-sample-zoom.png") && ok;

    // The File menu's conversion dialogs for the stereo 16-bit WAV, while its window is active
    // (without a window manager no window is active again once a modal sheet has closed).
    const std::pair<pelmora::CommandId, const char*> dialogs[] = {
        {pelmora::CommandId::ConvertBitSize, "/6-convert-bit-size.png"},
        {pelmora::CommandId::DeleteChannel, "/7-delete-channel.png"},
        {pelmora::CommandId::FormatConversion, "/8-format-conversion.png"},
        {pelmora::CommandId::Resample, "/9-resample.png"},
    };
    for (const auto& [id, name] : dialogs) {
        QTimer::singleShot(0, [&, name = name] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                ok = Shoot(*dialog, out + name) && ok;
                dialog->close();
            }
        });
        if (!frame.Run(id)) {
            std::printf("could not open the dialog for %s\n", name);
            ok = false;
        }
    }

    QMenu* file = frame.menuBar()->actions().front()->menu();
    file->popup(frame.mapToGlobal(frame.menuBar()->geometry().bottomLeft()));
    ok = Shoot(*file, out + "/4-file-menu.png") && ok;
    file->hide();
    QTimer::singleShot(0, [&] {
        if (QWidget* sheet = QApplication::activeModalWidget()) {
            ok = Shoot(*sheet, out + "/5-preference.png") && ok;
            sheet->close();
        }
    });
    frame.Run(pelmora::CommandId::Preference);

    return ok ? 0 : 1;
}
