// The status-bar progress display: ESC reaches the operation running, other input waits.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "app/ui/StatusBarProgress.h"

using namespace pelmora;

namespace {

void PostKey(QWidget* to, Qt::Key key) {
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

}  // namespace

TEST(StatusBarProgress, EscapeReachesTheOperationAndOtherInputIsHeldOff) {
    QMainWindow window;
    auto* button = new QPushButton(QStringLiteral("press"), &window);
    window.setCentralWidget(button);
    int presses = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++presses; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    StatusBarProgress progress(window.statusBar());

    progress.Start(StringId::CreatingCopyFile);
    progress.SetRange(100);
    EXPECT_TRUE(progress.IsActive());
    button->setFocus();
    PostKey(button, Qt::Key_Space);  // would press the button
    PostKey(button, Qt::Key_Escape);
    QTest::qSleep(60);  // past the interval at which the display lets events through
    progress.Step(10, 100);
    EXPECT_TRUE(progress.CancelRequested());
    progress.End();
    EXPECT_EQ(presses, 0) << "input during the operation is held off";

    // A press while nothing runs is not kept for the next operation.
    PostKey(button, Qt::Key_Escape);
    QCoreApplication::processEvents();
    progress.Start(StringId::CreatingCopyFile);
    progress.SetRange(100);
    QTest::qSleep(60);
    progress.Step(50, 100);
    EXPECT_FALSE(progress.CancelRequested());
    progress.End();
    EXPECT_FALSE(progress.IsActive());
}
