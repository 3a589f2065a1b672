// "Import From Sampler..." and "Export To Sampler..." in the File menu, driven through the
// dialog as a user would, over an emulated synthesizer. With PELMORA_SHOT_DIR set, the dialog
// is saved there as a picture to look at.

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/ui/MainFrame.h"
#include "display/ui/ChildFrame.h"
#include "mp3/ui/UpDownEdit.h"
#include "sampler/ui/SamplerDialog.h"
#include "support/EmulatorSupport.h"
#include "ModalDialogs.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

QAction* FileAction(CMainFrame& frame, const QString& text) {
    for (QAction* menu : frame.menuBar()->actions()) {
        if (!menu->menu() || menu->text() != "&File") continue;
        emit menu->menu()->aboutToShow();  // the items' enabling is brought up to date
        for (QAction* action : menu->menu()->actions())
            if (action->text().startsWith(text)) return action;
    }
    return nullptr;
}

// Runs `act` on the sampler dialog once it is shown, then presses its OK.
void OnDialog(std::function<void(CSamplerDlg&, QListWidget&)> act) {
    WhenModal<CSamplerDlg>([act](CSamplerDlg& dialog) {
        auto* list = dialog.findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        act(dialog, *list);
        dialog.accept();
    });
}

}  // namespace

TEST(SamplerMenu, ImportAndExportThroughTheDialog) {
    TempDir dir;
    // Every id taken, so no empty target's retries are waited out.
    const std::string bus = dir.File("bus");
    for (int id = 0; id <= 6; ++id)
        MakeInstrument(bus, std::to_string(id),
                       "vendor = ORBECK\nproduct = " + std::string(id == 2 ? "Synthesizer VZ5" : "Other") +
                           "\nid = " + std::to_string(id) + "\n");
    SlotSound sound;
    sound.channels = 2;
    sound.samples = NoiseSamples(2 * 4410, 16, 5);
    WriteSlot(bus + "/2/slot-1.wav", sound);
    std::ofstream(bus + "/2/slot-1.name") << "Strings Pad\n";
    ::setenv("PELMORA_SCSI", ("emulated:" + bus).c_str(), 1);
    CMainFrame frame;
    frame.App().SetWorkDirAtStartup(dir.Path());
    QAction* import = FileAction(frame, "Import From Sampler...");
    ASSERT_NE(import, nullptr);
    EXPECT_FALSE(import->isEnabled()) << "no instrument before a rescan";
    frame.App().LoadAspiManager();
    frame.App().RescanScsi();
    ::unsetenv("PELMORA_SCSI");
    ASSERT_FALSE(frame.App().Instruments().Empty());
    import = FileAction(frame, "Import From Sampler...");
    EXPECT_TRUE(import->isEnabled());
    EXPECT_FALSE(FileAction(frame, "Export To Sampler...")->isEnabled()) << "nothing open to send";

    OnDialog([](CSamplerDlg& dialog, QListWidget& list) {
        EXPECT_EQ(dialog.windowTitle(), "Import Sampler");
        ASSERT_EQ(list.count(), 1024);
        EXPECT_EQ(list.item(1)->text(), "   2 Strings Pad");
        list.setCurrentRow(1);
        if (const char* shots = std::getenv("PELMORA_SHOT_DIR"))
            dialog.grab().save(QString::fromLocal8Bit(shots) + "/sampler-import.png");
    });
    import->trigger();
    ASSERT_NE(frame.ActiveChild(), nullptr);
    const COLMDoc& doc = frame.ActiveChild()->Document();
    EXPECT_TRUE(doc.MadeFromTempFile());
    EXPECT_EQ(doc.Info().frames, 4410u);
    EXPECT_EQ(doc.Title().rfind("Strings Pad_", 0), 0u) << doc.Title();

    QAction* exportAction = FileAction(frame, "Export To Sampler...");
    ASSERT_TRUE(exportAction->isEnabled());
    OnDialog([](CSamplerDlg& dialog, QListWidget& list) {
        EXPECT_EQ(dialog.windowTitle(), "Export Sampler");
        EXPECT_EQ(list.count(), 1);
        auto* number = dialog.findChild<UpDownEdit*>();
        ASSERT_NE(number, nullptr);
        EXPECT_TRUE(number->isVisibleTo(&dialog));
        number->SetText("7");
        if (const char* shots = std::getenv("PELMORA_SHOT_DIR"))
            dialog.grab().save(QString::fromLocal8Bit(shots) + "/sampler-export.png");
    });
    exportAction->trigger();
    EXPECT_TRUE(std::filesystem::exists(bus + "/2/slot-6.aif"));
}
