// What a new user meets first, through the real widgets: the parameter pane legible at the
// default size and scrolling when tiled, the keyboard back in the document after a dialog, a
// newly opened document in front, the main title, and the status bar after Trim.

#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include "MainFrameWithSound.h"
#include "display/ParameterFields.h"
#include "display/ui/PaneWParam.h"
#include "document/ui/OpenDialog.h"
#include "edit/ui/GainDialog.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

QMdiArea* Mdi(CMainFrame& frame) { return qobject_cast<QMdiArea*>(frame.centralWidget()); }

// Every field is as wide as the largest value it can show, and (unless the pane scrolls)
// wholly inside the pane's visible part.
void ExpectFieldsWhole(CPaneWParam* pane, bool mayScroll, const char* when) {
    QWidget* viewport = pane->Scroller()->viewport();
    for (int field = 0; field < kParameterFieldCount; ++field) {
        QLabel* label = pane->Field(field);
        const QString widest = QString::fromStdString(WidestFieldText(KindOfField(field)));
        const int room = label->contentsRect().width() - 2 * std::max(0, label->indent());
        EXPECT_LE(label->fontMetrics().horizontalAdvance(widest), room) << when << ": field " << field;
        const QRect shown(label->mapTo(viewport, QPoint(0, 0)), label->size());
        EXPECT_GE(shown.top(), 0) << when << ": field " << field;
        EXPECT_LE(shown.bottom(), viewport->height() - 1) << when << ": field " << field << " cut at the bottom";
        if (!mayScroll) {
            EXPECT_TRUE(viewport->rect().contains(shown)) << when << ": field " << field;
        }
    }
    QToolButton* loop = pane->LoopModeButton();
    EXPECT_LE(loop->fontMetrics().horizontalAdvance(loop->text()), loop->width() - 4) << when;
    for (QLabel* label : pane->findChildren<QLabel*>()) {
        if (label->text() != "Samples" && label->text() != "Time") continue;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << when;
    }
}

}  // namespace

TEST_F(MainFrameWithSound, TheParameterPaneShowsEveryFieldWholeAndScrollsWhenNarrow) {
    QMdiSubWindow* window = Mdi(frame)->activeSubWindow();
    ASSERT_EQ(window->size(), QSize(700, 500));
    QTest::qWait(50);  // the splitter takes the pane's height
    CPaneWParam* params = child->ParameterPane();
    EXPECT_FALSE(params->Scroller()->horizontalScrollBar()->isVisible())
        << "no scrolling at the default size: the fields need " << params->Scroller()->widget()->minimumSizeHint().width()
        << " pixels, the pane has " << params->Scroller()->viewport()->width();
    ExpectFieldsWhole(params, false, "default size");

    // Tiled beside two more documents: the pane scrolls sideways and cuts nothing.
    TempDir second, third;
    frame.OpenSound(QString::fromStdString(MakeStereoTone(second)));
    frame.OpenSound(QString::fromStdString(MakeStereoTone(third)));
    ASSERT_TRUE(frame.Run(CommandId::TileVertically));
    QTest::qWait(50);
    ASSERT_LT(window->width(), 500);
    EXPECT_TRUE(params->Scroller()->horizontalScrollBar()->isVisible());
    ExpectFieldsWhole(params, true, "tiled");
    // A field opened for typing is scrolled into view.
    const int last = FieldOf(FieldGroup::LoopLength, FieldKind::Milliseconds);
    QTest::mouseClick(params->Field(last), Qt::LeftButton);
    const QRect edited(params->Editor()->mapTo(params->Scroller()->viewport(), QPoint(0, 0)), params->Editor()->size());
    EXPECT_TRUE(params->Scroller()->viewport()->rect().contains(edited));
}

TEST_F(MainFrameWithSound, AfterADialogTheKeyboardIsTheDocumentsAgain) {
    COLMDoc& doc = child->Document();
    ASSERT_TRUE(frame.Run(CommandId::SelectAll));
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<GainDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QLineEdit* rate = dialog->findChildren<QLineEdit*>().front();
        rate->selectAll();
        QTest::keyClicks(rate, "50");
        QTest::keyClick(rate, Qt::Key_Return);
    });
    ASSERT_TRUE(frame.Run(CommandId::Gain));
    ASSERT_TRUE(doc.DataChanged());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() != nullptr; }));
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(child->isAncestorOf(focus)) << focus->metaObject()->className();
    // Ctrl+Z goes to the document at once.
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(SndfileSamples(doc.WorkingPath()), SndfileSamples(path));
}

TEST_F(MainFrameWithSound, ADocumentFromTheOpenDialogComesToTheFrontOverAMaximisedOne) {
    QMdiSubWindow* first = Mdi(frame)->activeSubWindow();
    first->showMaximized();
    TempDir other;
    const std::string second = MakeStereoTone(other);
    QTimer::singleShot(0, [second] {
        auto* dialog = qobject_cast<OpenDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(QString::fromStdString(second));
        static_cast<QDialog*>(dialog)->accept();  // as the dialog's Open button does
    });
    ASSERT_TRUE(frame.Run(CommandId::Open));
    QApplication::processEvents();
    QMdiSubWindow* active = Mdi(frame)->activeSubWindow();
    ASSERT_NE(active, first);
    auto* newChild = qobject_cast<CChildFrame*>(active->widget());
    ASSERT_NE(newChild, nullptr);
    EXPECT_EQ(newChild->Document().OpenedPath(), second);
    EXPECT_EQ(Mdi(frame)->subWindowList(QMdiArea::StackingOrder).back(), active) << "on top";
    EXPECT_TRUE(active->isMaximized() || active->geometry().intersects(first->geometry()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() != nullptr; }));
    EXPECT_TRUE(newChild->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(MainFrameWithSound, TheMainTitleNamesTheActiveDocumentOnce) {
    EXPECT_EQ(frame.windowTitle(), "Pelmora - tone.wav");
    Mdi(frame)->activeSubWindow()->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(frame.windowTitle(), "Pelmora - [tone.wav]");
    ASSERT_TRUE(frame.Run(CommandId::SelectAll));
    ASSERT_TRUE(frame.Run(CommandId::Silence));
    EXPECT_EQ(frame.windowTitle(), "Pelmora - [tone.wav *]");

    // Tiled, the active one closed: the other one is named (the one left was changed).
    TempDir other;
    const std::string second = MakeStereoTone(other);
    ASSERT_EQ(std::system(("mv '" + second + "' '" + other.File("two.wav") + "'").c_str()), 0);
    frame.OpenSound(QString::fromStdString(other.File("two.wav")));
    ASSERT_TRUE(frame.Run(CommandId::TileVertically));
    EXPECT_EQ(frame.windowTitle(), "Pelmora - two.wav");
    ASSERT_TRUE(frame.Run(CommandId::Close));
    QApplication::processEvents();
    EXPECT_EQ(frame.windowTitle(), "Pelmora - tone.wav *");
}

TEST_F(MainFrameWithSound, AfterTrimThePositionIsInsideTheSound) {
    COLMDoc& doc = child->Document();
    // The pointer's position near the end, then a short selection at the start trimmed to.
    QTest::mouseClick(pane, Qt::LeftButton, {}, QPoint(pane->XOfFrame(7900), pane->WaveformRect().top() + 5));
    ASSERT_GE(doc.view.currentPosition, 7000u);
    doc.selectionStart = 100;
    doc.selectionEnd = 600;
    ASSERT_TRUE(frame.Run(CommandId::Trim));
    ASSERT_EQ(doc.Info().frames, 500u);
    EXPECT_LE(doc.view.currentPosition, 500u);
    EXPECT_EQ(child->StatusPane(0)->text(), "N 00:00:00.062(500)");
}
