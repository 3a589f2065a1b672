// The document window's parameter and file-information panes and status bar on the offscreen
// platform: typed values reach the document, and the buttons show the document's state.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "app/ui/MainFrame.h"
#include "display/ParameterFields.h"
#include "display/ui/ChildFrame.h"
#include "display/ui/PaneFInfo.h"
#include "display/ui/PaneWForm.h"
#include "display/ui/PaneWParam.h"
#include "MainFrameWithSound.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// The document window of a main frame with a tone open, and its parameter pane.
class DocumentWindow : public MainFrameWithSound {
protected:
    void SetUp() override {
        MainFrameWithSound::SetUp();
        params = child->ParameterPane();
    }

    QToolButton* Button(const QString& toolTip) {
        for (QToolButton* button : params->findChildren<QToolButton*>())
            if (button->toolTip() == toolTip) return button;
        ADD_FAILURE() << "no button " << toolTip.toStdString();
        return nullptr;
    }

    CPaneWParam* params = nullptr;
};

const int kSelEnd = FieldOf(FieldGroup::SelectionEnd, FieldKind::Frames);

}  // namespace

TEST_F(DocumentWindow, TypedSelectionEndReachesTheDocumentAndTabMovesOn) {
    COLMDoc& doc = child->Document();
    QTest::mouseClick(params->Field(kSelEnd), Qt::LeftButton);
    QLineEdit* editor = params->Editor();
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(params->EditedField(), kSelEnd);
    EXPECT_EQ(editor->selectedText(), QStringLiteral("0"));

    // Keys typed into the edit box are its own, not the frame's shortcuts ("G" zooms out).
    const double zoom = doc.view.horizontalZoom;
    QTest::keyClick(editor, Qt::Key_G);
    EXPECT_EQ(doc.view.horizontalZoom, zoom);
    doc.selectionEnd = 100;
    QTest::qWait(400);  // the frame's idle update enables "Trim" for the selection
    QTest::keyClick(editor, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(doc.Info().frames, 8000u);
    doc.selectionEnd = 0;
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("4000"));
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(doc.selectionEnd, 4000u);
    EXPECT_EQ(params->Field(kSelEnd)->text(), QStringLiteral("4000"));
    EXPECT_EQ(params->Field(FieldOf(FieldGroup::SelectionLength, FieldKind::Milliseconds))->text(),
              QStringLiteral("500"));
    EXPECT_EQ(child->StatusPane(2)->text(), QStringLiteral("E 00:00:00.500(4000)"));
    EXPECT_EQ(child->StatusPane(3)->text(), QStringLiteral("D 00:00:00.500(4000)"));
    // The next edit box opens on the end's hours, its text selected.
    EXPECT_EQ(params->EditedField(), kSelEnd + 1);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->selectedText(), QStringLiteral("00"));

    // Shift+Tab goes back; Enter commits and closes.
    QTest::keyClick(editor, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(params->EditedField(), kSelEnd);
    QTest::keyClicks(editor, QStringLiteral("6000"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(doc.selectionEnd, 6000u);
    EXPECT_EQ(params->EditedField(), -1);
    EXPECT_FALSE(editor->isVisible());
    // Outside an edit box the same key is the frame's shortcut.
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_G);
    EXPECT_EQ(doc.view.horizontalZoom, 2 * zoom);
}

TEST_F(DocumentWindow, LockButtonsShowTheLockAndSteerTab) {
    COLMDoc& doc = child->Document();
    QTest::mouseClick(params->Field(kSelEnd), Qt::LeftButton);
    QTest::keyClicks(params->Editor(), QStringLiteral("100"));
    QTest::keyClick(params->Editor(), Qt::Key_Return);

    QToolButton* position = Button(QStringLiteral("Lock Sel Position"));
    QToolButton* length = Button(QStringLiteral("Lock Sel Length"));
    ASSERT_TRUE(position && length);
    QTest::mouseClick(position, Qt::LeftButton);
    EXPECT_EQ(doc.selectionLock, 1u);
    EXPECT_TRUE(position->isChecked());
    EXPECT_TRUE(length->isChecked());
    QTest::mouseClick(length, Qt::LeftButton);  // held by the position lock
    EXPECT_EQ(doc.selectionLock, 1u);
    EXPECT_TRUE(length->isChecked());

    // A locked field opens no edit box; Tab from the play location's frames goes to the loop.
    QTest::mouseClick(params->Field(kSelEnd), Qt::LeftButton);
    EXPECT_EQ(params->EditedField(), -1);
    QTest::mouseClick(params->Field(FieldOf(FieldGroup::PlayLocation, FieldKind::Frames)), Qt::LeftButton);
    QTest::keyClick(params->Editor(), Qt::Key_Period);
    EXPECT_EQ(params->EditedField(), FieldOf(FieldGroup::LoopStart, FieldKind::Frames));
    QTest::keyClick(params->Editor(), Qt::Key_Escape);

    QTest::mouseClick(position, Qt::LeftButton);
    EXPECT_EQ(doc.selectionLock, 0u);
    EXPECT_FALSE(position->isChecked());
    EXPECT_FALSE(length->isChecked());
    // Without a loop the loop locks stay released.
    QToolButton* loopLength = Button(QStringLiteral("Lock Loop Length"));
    ASSERT_TRUE(loopLength);
    QTest::mouseClick(loopLength, Qt::LeftButton);
    EXPECT_EQ(doc.loopLock, 0u);
    EXPECT_FALSE(loopLength->isChecked());
}

TEST_F(DocumentWindow, ZoomButtonsAndStepFields) {
    COLMDoc& doc = child->Document();
    QToolButton* zoomIn = Button(QStringLiteral("Horizontal Zoom In(H)"));
    QToolButton* verticalOut = Button(QStringLiteral("Vertical Zoom Out(Shift+G)"));
    ASSERT_TRUE(zoomIn && verticalOut);
    const double before = doc.view.horizontalZoom;
    QSignalSpy zoomed(params, &CPaneWParam::ZoomChanged);
    QTest::mouseClick(zoomIn, Qt::LeftButton);
    EXPECT_EQ(doc.view.horizontalZoom, before / 2);
    EXPECT_EQ(zoomed.count(), 1);
    QToolButton* horizontalStep = nullptr;
    for (QToolButton* button : params->findChildren<QToolButton*>())
        if (button->menu() && button->menu()->actions().size() == 22) horizontalStep = button;
    ASSERT_NE(horizontalStep, nullptr);
    EXPECT_EQ(horizontalStep->text().toInt(), StepOfHorizontalZoom(doc.view.horizontalZoom));
    horizontalStep->menu()->actions().at(21)->trigger();
    EXPECT_EQ(doc.view.horizontalZoom, 0.0625);
    EXPECT_EQ(horizontalStep->text(), QStringLiteral("22"));
    QTest::mouseClick(verticalOut, Qt::LeftButton);
    EXPECT_EQ(doc.view.verticalZoom, 1.2);  // step 1
}

TEST_F(DocumentWindow, FileInfoAndDeviceTabs) {
    COLMDoc& doc = child->Document();
    CPaneFInfo* info = child->FileInfoPane();
    EXPECT_EQ(info->Tabs()->tabText(0), QStringLiteral("File Info"));
    EXPECT_EQ(info->Tabs()->tabText(1), QStringLiteral("Device"));
    EXPECT_TRUE(info->FileInfo()->text().startsWith(QStringLiteral("Creator       QMV0\nFile type:WAV\n     Rate:8000\n")));
    EXPECT_TRUE(info->FileInfo()->text().contains(QStringLiteral("   Length:00:00:01.000\nData size:32000\n     Loop:None\n")));
    EXPECT_EQ(info->EditingMode()->text(), QStringLiteral("Editing:COPY    "));

    EXPECT_EQ(info->Level()->value(), 255);
    info->LevelSlider()->setValue(100);
    EXPECT_EQ(info->Level()->value(), 100);
    EXPECT_EQ(doc.view.playbackLevel, 100);
    info->Level()->setValue(7);
    EXPECT_EQ(info->LevelSlider()->value(), 7);
    EXPECT_EQ(doc.view.playbackLevel, 7);

    // The main frame would open its folder browser; only the request is looked at here.
    QObject::disconnect(child, &CChildFrame::SelectWorkingDirRequested, &frame, nullptr);
    QSignalSpy asked(child, &CChildFrame::SelectWorkingDirRequested);
    info->SelectWorkingDirectory()->click();
    EXPECT_EQ(asked.count(), 1);
}
