// The editor's widgets on the offscreen platform: they forward to the same core as the CLI.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "MainFrameWithSound.h"
#include "app/ui/SingleInstance.h"
#include "display/ParameterFields.h"
#include "display/ui/PaneWParam.h"
#include "document/ui/NewDialog.h"
#include "edit/ui/GainDialog.h"
#include "support/ExternalReaders.h"
#include "support/ScriptedPrompter.h"

using namespace pelmora;
using namespace pelmora::test;


TEST_F(MainFrameWithSound, MouseSelectionCutAndUndoReachTheDocument) {
    COLMDoc& doc = child->Document();

    // Drag across the left half of the pane: the selection follows the pointer's frames.
    const int y = pane->height() / 2;
    QTest::mousePress(pane, Qt::LeftButton, {}, QPoint(0, y));
    QTest::mouseMove(pane, QPoint(pane->width() / 2, y));
    QTest::mouseRelease(pane, Qt::LeftButton, {}, QPoint(pane->width() / 2, y));
    EXPECT_EQ(doc.selectionStart, 0u);
    EXPECT_EQ(doc.selectionEnd, pane->FrameAt(pane->width() / 2));
    ASSERT_GT(doc.selectionEnd, 0u);

    const std::uint32_t before = doc.Info().frames;
    const std::uint32_t cut = doc.selectionEnd;
    EXPECT_TRUE(frame.Run(CommandId::Cut));
    EXPECT_EQ(doc.Info().frames, before - cut);
    EXPECT_TRUE(frame.Run(CommandId::Undo));
    EXPECT_EQ(doc.Info().frames, before);
    EXPECT_EQ(SndfileSamples(doc.WorkingPath()), SndfileSamples(path));

    // The pane draws the waveform where the channels' strips are.
    const QImage shot = pane->grab().toImage();
    int lit = 0;
    for (int x = 0; x < shot.width(); x += 4) lit += shot.pixelColor(x, shot.height() / 4) != shot.pixelColor(0, 0);
    EXPECT_GT(lit, shot.width() / 8);
}

TEST_F(MainFrameWithSound, GainThroughItsDialogThenUndoShowsInTheFileAndThePanes) {
    COLMDoc& doc = child->Document();

    // Select columns 10 … 30 of the upper strip: the left channel only.
    const QRect wave = pane->WaveformRect();
    const int y = wave.top() + wave.height() / 4;
    QTest::mousePress(pane, Qt::LeftButton, {}, QPoint(wave.left() + 10, y));
    QTest::mouseMove(pane, QPoint(wave.left() + 30, y));
    QTest::mouseRelease(pane, Qt::LeftButton, {}, QPoint(wave.left() + 30, y));
    const std::uint32_t start = pane->FrameAt(wave.left() + 10), end = pane->FrameAt(wave.left() + 30);
    ASSERT_EQ(doc.selectionStart, start);
    ASSERT_EQ(doc.selectionEnd, end);
    ASSERT_EQ(doc.Info().channelEnd - doc.Info().channelFirst, 1);
    CPaneWParam* fields = child->ParameterPane();
    EXPECT_EQ(fields->Field(FieldOf(FieldGroup::SelectionStart, FieldKind::Frames))->text().toUInt(), start);
    EXPECT_EQ(fields->Field(FieldOf(FieldGroup::SelectionLength, FieldKind::Frames))->text().toUInt(), end - start);

    // The dialog: rate 50 typed and OK pressed.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<GainDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QLineEdit* rate = dialog->findChildren<QLineEdit*>().front();
        rate->selectAll();
        QTest::keyClicks(rate, "50");
        QTest::keyClick(rate, Qt::Key_Return);
    });
    ASSERT_TRUE(frame.Run(CommandId::Gain));
    const auto before = SndfileSamples(path);
    const auto after = SndfileSamples(doc.WorkingPath());
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t frameIndex = 0; frameIndex < before.size() / 2; ++frameIndex) {
        const bool inside = frameIndex >= start && frameIndex < end;
        EXPECT_EQ(after[2 * frameIndex + 1], before[2 * frameIndex + 1]) << "the right channel is untouched";
        if (!inside) EXPECT_EQ(after[2 * frameIndex], before[2 * frameIndex]);
        else EXPECT_NEAR(after[2 * frameIndex], before[2 * frameIndex] / 2, 1 << 16);  // one 16-bit step
    }
    EXPECT_EQ(fields->Field(FieldOf(FieldGroup::SelectionEnd, FieldKind::Frames))->text().toUInt(), end)
        << "the selection and its fields survive the operation";

    EXPECT_TRUE(frame.Run(CommandId::Undo));
    EXPECT_EQ(SndfileSamples(doc.WorkingPath()), before);
    EXPECT_EQ(child->StatusPane(1)->text().startsWith("S "), true);
}

TEST_F(MainFrameWithSound, ViewCommandsActOnTheActiveWindow) {
    COLMDoc& doc = child->Document();
    ASSERT_TRUE(frame.Run(CommandId::HorizontalFullZoomIn));
    EXPECT_EQ(doc.view.horizontalZoom, 0.0625);
    ASSERT_TRUE(frame.Run(CommandId::PreviousZoom));
    EXPECT_EQ(doc.view.horizontalZoom, 128.0);

    EXPECT_FALSE(pane->OverviewRect().isEmpty());
    ASSERT_TRUE(frame.Run(CommandId::Overview));
    EXPECT_TRUE(pane->OverviewRect().isEmpty());
    EXPECT_EQ(pane->WaveformRect().top(), pane->TimeRulerRect().bottom() + 1);
    ASSERT_TRUE(frame.Run(CommandId::TimeRulerShowHide));
    EXPECT_TRUE(pane->TimeRulerRect().isEmpty());
    EXPECT_EQ(pane->WaveformRect().top(), 0);
    ASSERT_TRUE(frame.Run(CommandId::LevelRulerValue));
    EXPECT_EQ(doc.view.levelRulerSetting, kRulerShown | kLevelRulerValue);
    EXPECT_EQ(pane->LevelRulerRect().width(), 110) << "2.75 times the base width for values";

    ASSERT_TRUE(frame.Run(CommandId::AutoSnapZeroCross));
    EXPECT_EQ(frame.App().snapMode, SnapMode::ZeroCross);
    doc.selectionStart = 100;
    doc.selectionEnd = 6000;
    ASSERT_TRUE(frame.Run(CommandId::FitToSelection));
    EXPECT_EQ(doc.view.horizontalZoom, FitZoom(5900, pane->WaveformRect().width()));
    EXPECT_LE(doc.view.firstVisible, 100u);
    EXPECT_GE(doc.view.lastVisible, 6000u);
}

TEST(NewDialog, PressingNewRunsTheModelsChecksAndStaysOpenOnAMessage) {
    TempDir dir;
    ScriptedPrompter prompter;
    NewDialogModel model;
    model.SetRate(3000);  // typed as "Others"
    NewDialog rejected(model, dir.Path(), prompter);
    EXPECT_FALSE(rejected.Press());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0], "Sample rate must be in the range of 4000 to 200000.");
    QLineEdit* rate = nullptr;
    for (QLineEdit* edit : rejected.findChildren<QLineEdit*>())
        if (edit->text() == "3000") rate = edit;
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(rate->selectedText(), "3000") << "the rate field is selected";
    bool remainShown = false;
    for (QLabel* label : rejected.findChildren<QLabel*>())
        remainShown = remainShown || QRegularExpression("^[0-9]+\\.[0-9] [MG]B$").match(label->text()).hasMatch();
    EXPECT_TRUE(remainShown) << "the free space in MB or GB";

    model.SetRate(22050);
    model.SetLengthMode(LengthMode::InSample);
    model.SetFrames(22050LL * 7300);  // past two hours: cut, and the dialog stays open
    NewDialog corrected(model, dir.Path(), prompter);
    EXPECT_FALSE(corrected.Press());
    EXPECT_EQ(model.Frames(), 22050LL * 7200);
    EXPECT_TRUE(corrected.Press());  // pressed again with the corrected length
    EXPECT_EQ(prompter.messages.size(), 1u);
}

TEST(GainDialog, TheTypedRateIsCommittedAndRemembered) {
    GainDialogModel model;
    GainDialog dialog(model);
    dialog.show();
    const auto edits = dialog.findChildren<QLineEdit*>();
    ASSERT_EQ(edits.size(), 2);
    EXPECT_EQ(edits[0]->text(), "100");
    edits[0]->setFocus();
    edits[0]->clear();
    QTest::keyClicks(edits[0], "50");
    QTest::keyClick(edits[0], Qt::Key_Return);
    EXPECT_EQ(dialog.Rate(), 50);
    EXPECT_EQ(model.Rate(), 50);
    EXPECT_EQ(edits[1]->text(), "-6.02");  // the level follows the rate
}

TEST(GainDialog, ALevelThatIsNotANumberKeepsTheDialogOpenWhenOkIsClicked) {
    GainDialogModel model;
    GainDialog dialog(model);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QLineEdit* level = dialog.findChildren<QLineEdit*>()[1];
    level->setFocus();
    level->selectAll();
    QTest::keyClicks(level, "abc");
    QPushButton* ok = nullptr;
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (!button->text().contains("Cancel")) ok = button;
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);  // the click takes the focus before OK runs
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.Rate());
    EXPECT_EQ(level->selectedText(), "abc");
}

TEST(GainDialog, CancelKeepsTheRememberedValues) {
    GainDialogModel model;
    {
        GainDialog dialog(model);
        dialog.show();
        dialog.findChild<QSlider*>()->setValue(150);
        EXPECT_EQ(model.Rate(), 150);  // the dialog shows the moving values…
        dialog.reject();
    }
    EXPECT_EQ(model.Rate(), 100);  // …and Cancel forgets them
}

TEST(SingleInstance, ALaterStartHandsItsPathToTheRunningOne) {
    const QString name = QStringLiteral("pelmora-test-%1").arg(::getpid());
    SingleInstance first(name);
    SingleInstance nobodyYet(name + "-other");
    EXPECT_FALSE(nobodyYet.HandOver(QStringLiteral("kick.wav")));  // no running instance
    ASSERT_TRUE(first.Become());
    SingleInstance second(name);
    EXPECT_FALSE(second.Become());  // the lock is taken
    QSignalSpy arrived(&first, &SingleInstance::PathArrived);
    ASSERT_TRUE(second.HandOver(QStringLiteral("My Sounds/kick.wav")));
    ASSERT_TRUE(arrived.wait(3000));
    EXPECT_EQ(arrived.at(0).at(0).toString(), QDir::current().absoluteFilePath("My Sounds/kick.wav"));
}

// Widgets need the application object for the whole run, and gone before static teardown.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
