// "Loop On" in the Edit menu and on the loop markers' menu, and Revert's question, driven through
// the real main frame.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include "MainFrameWithSound.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

QAction* MenuItem(CMainFrame& frame, const QString& menu, const QString& item) {
    for (QAction* top : frame.menuBar()->actions()) {
        if (top->text().remove('&') != menu || !top->menu()) continue;
        for (QAction* action : top->menu()->actions())
            if (action->text() == item) return action;
    }
    return nullptr;
}

QMenu* EditMenu(CMainFrame& frame) {
    for (QAction* top : frame.menuBar()->actions())
        if (top->text().remove('&') == "Edit") return top->menu();
    return nullptr;
}

// Answers the next message box with `button`, remembering its text.
void AnswerNextQuestion(QMessageBox::StandardButton button, QString* text) {
    QTimer::singleShot(0, [button, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        *text = box->text();
        box->button(button)->click();
    });
}

}  // namespace

TEST_F(MainFrameWithSound, LoopOnFromTheEditMenuAndTheMarkersMenu) {
    COLMDoc& doc = child->Document();
    QAction* loopOn = MenuItem(frame, "Edit", "Loop On");
    ASSERT_NE(loopOn, nullptr);
    ASSERT_NE(MenuItem(frame, "Edit", "Select Loop"), nullptr);
    EXPECT_FALSE(frame.IsEnabled(CommandId::LoopOn)) << "no loop yet";
    EXPECT_FALSE(frame.IsEnabled(CommandId::SelectLoop));

    // A loop made with the markers (Ctrl+left for the start, right for the end) is on.
    const QRect ruler = pane->TimeRulerRect(), wave = pane->WaveformRect();
    QTest::mouseClick(pane, Qt::LeftButton, Qt::ControlModifier, QPoint(wave.left() + 20, ruler.top() + 4));
    QTest::mouseClick(pane, Qt::RightButton, {}, QPoint(wave.left() + 50, ruler.top() + 4));
    ASSERT_GT(doc.Info().loopEnd, doc.Info().loopStart);
    EXPECT_TRUE(doc.Info().loopOn);
    EXPECT_TRUE(frame.IsEnabled(CommandId::Save));

    // The Edit menu's item shows the flag and flips it.
    EXPECT_TRUE(frame.IsEnabled(CommandId::LoopOn));
    emit EditMenu(frame)->aboutToShow();  // as opening the menu does
    EXPECT_TRUE(loopOn->isEnabled());
    EXPECT_TRUE(loopOn->isChecked());
    loopOn->trigger();
    EXPECT_FALSE(doc.Info().loopOn);
    EXPECT_FALSE(loopOn->isChecked());

    // On a marker line the right button opens the loop menu with the same item.
    const QPoint onEnd(pane->XOfFrame(doc.Info().loopEnd) + 1, wave.top() + wave.height() / 2);
    EXPECT_TRUE(pane->OnLoopMarker(onEnd));
    EXPECT_FALSE(pane->OnLoopMarker(QPoint(onEnd.x() + 30, onEnd.y())));
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) shown << action->text();
        for (QAction* action : menu->actions())
            if (action->text() == "Loop On") {
                EXPECT_TRUE(action->isEnabled());
                menu->close();
                action->trigger();
                return;
            }
        menu->close();
    });
    QTest::mouseClick(pane, Qt::RightButton, {}, onEnd);
    EXPECT_TRUE(shown.contains("Loop On"));
    EXPECT_TRUE(doc.Info().loopOn);
}

TEST_F(MainFrameWithSound, RevertAsksBeforeItThrowsChangesAway) {
    COLMDoc& doc = child->Document();
    EXPECT_FALSE(frame.IsEnabled(CommandId::Revert));
    ASSERT_TRUE(frame.Run(CommandId::SelectAll));
    ASSERT_TRUE(frame.Run(CommandId::Silence));
    ASSERT_TRUE(doc.DataChanged());

    QString asked;
    AnswerNextQuestion(QMessageBox::No, &asked);
    ASSERT_TRUE(frame.Run(CommandId::Revert));
    EXPECT_EQ(asked, QStringLiteral("Discard all changes to tone.wav since it was last saved?"));
    EXPECT_TRUE(doc.DataChanged());
    EXPECT_TRUE(doc.Undo().Enabled()) << "No keeps the undo record too";

    AnswerNextQuestion(QMessageBox::Yes, &asked);
    ASSERT_TRUE(frame.Run(CommandId::Revert));
    EXPECT_FALSE(doc.DataChanged());
    EXPECT_FALSE(frame.IsEnabled(CommandId::Revert));
}
