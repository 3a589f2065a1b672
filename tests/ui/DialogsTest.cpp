// The effect and file dialogs, driven as a user would drive them through the main frame.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/ui/MainFrame.h"
#include "display/ui/ChildFrame.h"
#include "document/ui/OpenDialog.h"
#include "document/ui/SaveAsDialog.h"
#include "edit/ui/DcOffsetDialog.h"
#include "edit/ui/LoopCrossfadeDialog.h"
#include "edit/ui/NormalizeDialog.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"
#include "MainFrameWithSound.h"
#include "ModalDialogs.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

std::vector<int> Samples16(const std::string& path) {
    std::vector<int> out;
    for (std::int32_t s : SndfileSamples(path)) out.push_back(s >> 16);
    return out;
}

}  // namespace

TEST(EffectDialogs, NormalizeLimitsTheRateThenScalesThePeakToFullScale) {
    OpenedSound s(1, 0.5);
    ASSERT_NE(s.doc, nullptr);
    EXPECT_FALSE(s.frame.IsEnabled(CommandId::Normalize));  // no selection yet
    ASSERT_TRUE(s.frame.Run(CommandId::SelectAll));
    const std::vector<int> before = Samples16(s.doc->WorkingPath());

    bool stayedOpen = false;
    WhenModal<NormalizeDialog>([&](NormalizeDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>();
        EXPECT_EQ(edit->text(), "100");
        edit->setText("150");
        PressOk(dialog);
        stayedOpen = dialog.isVisible();
        EXPECT_EQ(edit->text(), "110");  // limited and written back
        EXPECT_EQ(dialog.findChild<QSlider*>()->value(), 110);
        edit->setText("100");
        PressOk(dialog);
    });
    ASSERT_TRUE(s.frame.Run(CommandId::Normalize));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(s.frame.App().effectDialogs.normalize.Rate(), 100);

    const std::vector<int> after = Samples16(s.doc->WorkingPath());
    ASSERT_EQ(after.size(), before.size());
    int peak = 0;
    for (int v : before) peak = std::max(peak, std::abs(v));
    ASSERT_GT(peak, 0);
    const double factor = 100 * 327.67 / peak;
    int newPeak = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_NEAR(after[i], before[i] * factor, 1.0) << i;
        newPeak = std::max(newPeak, std::abs(after[i]));
    }
    EXPECT_EQ(newPeak, 32767);
    EXPECT_TRUE(s.doc->DataChanged());
}

TEST(EffectDialogs, DcOffsetAddsTheTypedValueOnceTheTextIsANumber) {
    OpenedSound s(1, 0.5);
    ASSERT_NE(s.doc, nullptr);
    ASSERT_TRUE(s.frame.Run(CommandId::SelectAll));
    const std::vector<int> before = Samples16(s.doc->WorkingPath());

    bool rejectedText = false;
    WhenModal<DcOffsetDialog>([&](DcOffsetDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>();
        EXPECT_FALSE(edit->isEnabled());  // Auto Elimination first
        for (QRadioButton* radio : dialog.findChildren<QRadioButton*>())
            if (radio->text() == "Specify Offset Value") radio->click();
        EXPECT_TRUE(edit->isEnabled());
        edit->setText("1o0");
        PressOk(dialog);
        rejectedText = dialog.isVisible() && edit->selectedText() == "1o0";
        edit->setText("100");
        PressOk(dialog);
    });
    ASSERT_TRUE(s.frame.Run(CommandId::DcOffset));
    EXPECT_TRUE(rejectedText);
    EXPECT_EQ(s.frame.App().effectDialogs.dcOffset.Mode(), DcOffsetMode::Specify);

    const std::vector<int> after = Samples16(s.doc->WorkingPath());
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i], before[i] + 100) << i;
}

TEST(EffectDialogs, LoopCrossfadeRewritesTheFramesBeforeTheLoopEnd) {
    OpenedSound s(1, 0.5);  // 4000 frames
    ASSERT_NE(s.doc, nullptr);
    EXPECT_FALSE(s.frame.IsEnabled(CommandId::LoopCrossfade));  // no loop
    SoundInfo& info = s.doc->Info();
    info.loopOn = 1;
    info.loopStart = 1000;
    info.loopEnd = 3000;
    const std::vector<int> before = Samples16(s.doc->WorkingPath());

    WhenModal<LoopCrossfadeDialog>([&](LoopCrossfadeDialog& dialog) {
        const auto sliders = dialog.findChildren<QSlider*>();
        const auto edits = dialog.findChildren<QLineEdit*>();
        ASSERT_EQ(sliders.size(), 2);
        ASSERT_EQ(edits.size(), 2);
        EXPECT_EQ(sliders[0]->maximum(), 50);  // the loop start allows half the loop length
        EXPECT_FALSE(edits[1]->isEnabled());   // "Sustain": no release
        edits[0]->setFocus();
        edits[0]->setText("80");
        PressOk(dialog);  // commits the focused edit, limited to the maximum
    });
    ASSERT_TRUE(s.frame.Run(CommandId::LoopCrossfade));
    EXPECT_EQ(s.frame.App().effectDialogs.crossfade.SustainPercent(), 50);

    // S = 1000 frames: 2000 … 2999 fade from themselves towards frames 1000 … 1999.
    const std::vector<int> after = Samples16(s.doc->WorkingPath());
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (i <= 2000 || i >= 3000) {
            EXPECT_EQ(after[i], before[i]) << i;
        }
    }
    EXPECT_NEAR(after[2999], before[999] * 0.999 + before[2999] * 0.001, 2.0);
    EXPECT_NE(after, before);
}

TEST(OpenDialog, ThePanelSummarisesTheHighlightedFile) {
    TempDir dir;
    const std::string path = MakeTone(dir, 1, 1.0, 0.25);
    OpenDialog dialog;
    QStringList visible;
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    for (int i = 0; i < types->count(); ++i) visible << types->itemText(i);
    EXPECT_EQ(visible, (QStringList{"All Audio Files( *.wav;*.aif;*.aiff;)", "WAVE PCM Files(*.wav)",
                                    "AIFF Files(*.aif;*.aiff)", "All Files(*.*)"}));

    dialog.setDirectory(QString::fromStdString(dir.Path()));
    dialog.show();
    auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(list, nullptr);
    auto* files = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(files, nullptr);
    QModelIndex index;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        index = files->index(QString::fromStdString(path));
        return index.isValid() && files->rowCount(index.parent()) > 0;
    }));
    const QModelIndex shown = list->model()->index(0, 0, list->rootIndex());
    ASSERT_TRUE(shown.isValid());
    list->setCurrentIndex(shown);
    EXPECT_EQ(dialog.PanelText(), "8000Hz / 16bit / Mono / No Loop / WAV\n00:00:01:000 / 8000 sample / 16000 byte");
}

TEST(SaveAsDialog, OffersTheDocumentsTypeFirstAndAppendsTheChosenTypesExtension) {
    OpenedSound s(1, 0.5);
    ASSERT_NE(s.doc, nullptr);
    QStringList visible;
    WhenModal<QFileDialog>([&](QFileDialog& dialog) {
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; i < types->count(); ++i) visible << types->itemText(i);
        dialog.setDirectory(QString::fromStdString(s.dir.Path()));
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("typed");
        static_cast<QDialog&>(dialog).accept();  // as the Save button does
    });
    EXPECT_EQ(ChooseSaveAsPath(nullptr, *s.doc), s.dir.File("typed.wav"));
    EXPECT_EQ(visible, (QStringList{"WAVE PCM(*.wav;)", "AIFF Files(*.aif;*.aiff;)"}));

    WhenModal<QFileDialog>([&](QFileDialog& dialog) {
        dialog.setDirectory(QString::fromStdString(s.dir.Path()));
        QTest::keyClick(dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")), Qt::Key_Down);
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("typed");
        static_cast<QDialog&>(dialog).accept();  // as the Save button does
    });
    EXPECT_EQ(ChooseSaveAsPath(nullptr, *s.doc), s.dir.File("typed.aif"));
}

TEST(NormalizeDialog, TheSliderFollowsATypedRate) {
    NormalizeDialogModel model;
    NormalizeDialog dialog(model);
    dialog.show();
    auto* edit = dialog.findChild<QLineEdit*>();
    auto* slider = dialog.findChild<QSlider*>();
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, "85");
    EXPECT_EQ(slider->value(), 100) << "not while typing";
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(slider->value(), 85);
    EXPECT_EQ(model.Rate(), 85);
}
