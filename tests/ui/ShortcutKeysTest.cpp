// Shortcut keys in the editor: Qt's keys as virtual keys, the frame's accelerators with the
// keypad apart from the main keys, the menu texts, and the "Preference" sheet end to end.

#include <memory>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "app/ui/PreferenceSheet.h"
#include "app/ui/QtKeyMap.h"
#include "support/AudioFiles.h"
#include "ui/MainFrameWithSound.h"

namespace pelmora::test {
namespace {

TEST(QtKeyMap, KeypadAndShiftedSymbols) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::uint16_t virtualKey;
    };
    const Case cases[] = {
        {Qt::Key_0, Qt::NoModifier, '0'},
        {Qt::Key_0, Qt::KeypadModifier, 96},
        {Qt::Key_9, Qt::KeypadModifier, 105},
        {Qt::Key_Asterisk, Qt::KeypadModifier, 106},
        {Qt::Key_Asterisk, Qt::ShiftModifier, '8'},  // Shift+8: the key 8, not "Num *"
        {Qt::Key_Plus, Qt::KeypadModifier, 107},
        {Qt::Key_Plus, Qt::ShiftModifier, 0xBB},
        {Qt::Key_Minus, Qt::KeypadModifier, 109},
        {Qt::Key_Period, Qt::KeypadModifier, 110},
        {Qt::Key_Slash, Qt::KeypadModifier, 111},
        {Qt::Key_Slash, Qt::NoModifier, 0xBF},
        {Qt::Key_Question, Qt::ShiftModifier, 0xBF},
        {Qt::Key_BraceLeft, Qt::ShiftModifier, 0xDB},
        {Qt::Key_BracketRight, Qt::ControlModifier, 0xDD},
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'},
        {Qt::Key_ParenRight, Qt::ShiftModifier, '0'},
        {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Home, Qt::KeypadModifier, 36},  // the keypad without Num Lock
        {Qt::Key_A, Qt::ControlModifier, 'A'},
        {Qt::Key_F1, Qt::NoModifier, 112},
        {Qt::Key_F24, Qt::NoModifier, 135},
        {Qt::Key_Backtab, Qt::ShiftModifier, 9},
        {Qt::Key_CapsLock, Qt::NoModifier, 20},
        {Qt::Key_NumLock, Qt::NoModifier, 144},
        {Qt::Key_Delete, Qt::ControlModifier, 46},
        {Qt::Key_Escape, Qt::NoModifier, 27},
        {Qt::Key_Adiaeresis, Qt::NoModifier, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualKeyOf(c.key, c.modifiers), c.virtualKey) << std::hex << c.key;
    EXPECT_EQ(ModifierFlagsOf(Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier), kCtrlFlag | kAltFlag);
}

class ShortcutKeys : public MainFrameWithSound {
protected:
    void SetUp() override {
        audio = std::make_unique<NullAudio>("", dir.File("out.wav"));
        MainFrameWithSound::SetUp();
        pane->setFocus();
    }
    Transport State() { return frame.App().audio.TransportOf(child->Document()); }
    std::unique_ptr<NullAudio> audio;
};

TEST_F(ShortcutKeys, AKeypadKeyRunsTheTransportAndTheMainKeyDoesNot) {
    QTest::keyClick(pane, Qt::Key_Asterisk, Qt::ShiftModifier);  // Shift+8 types "*"
    QTest::qWait(50);
    EXPECT_EQ(State(), Transport::Idle);
    QTest::keyClick(pane, Qt::Key_Asterisk, Qt::KeypadModifier);  // Num *: "Rec"
    ASSERT_TRUE(QTest::qWaitFor([&] { return State() == Transport::Recording; }, 2000));
    QTest::keyClick(pane, Qt::Key_0);  // the main 0 is no shortcut
    QTest::qWait(50);
    EXPECT_EQ(State(), Transport::Recording);
    QTest::keyClick(pane, Qt::Key_0, Qt::KeypadModifier);  // Num 0: "Stop"
    ASSERT_TRUE(QTest::qWaitFor([&] { return State() != Transport::Recording; }, 2000));

    QTest::keyClick(pane, Qt::Key_Return);  // Enter: "Play"
    ASSERT_TRUE(QTest::qWaitFor([&] { return State() == Transport::Playing; }, 2000));
    QTest::keyClick(pane, Qt::Key_0, Qt::KeypadModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame.App().audio.Active() == nullptr; }, 2000));
}

TEST_F(ShortcutKeys, CtrlNMovedToCloseOnThePreferenceSheet) {
    QAction* newItem = nullptr;
    QAction* closeItem = nullptr;
    for (QAction* action : frame.actions()) {
        if (action->text().startsWith("New(&N)")) newItem = action;
        if (action->text() == "Close" || action->text().startsWith("Close\t")) closeItem = action;
    }
    ASSERT_TRUE(newItem && closeItem);
    EXPECT_EQ(newItem->text(), QStringLiteral("New(&N)...\tCtrl+N"));
    EXPECT_EQ(closeItem->text(), QStringLiteral("Close"));

    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* sheet = qobject_cast<PreferenceSheet*>(QApplication::activeModalWidget());
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Preference"));
        CShortCutDlg* page = sheet->ShortcutsPage();
        EXPECT_EQ(sheet->focusWidget(), page->CaptureField());
        EXPECT_FALSE(page->AssignButton()->isEnabled());
        EXPECT_FALSE(page->RevertPanelButton()->isEnabled());
        EXPECT_FALSE(page->InitialSettingButton()->isEnabled());
        page->ActionList()->setCurrentRow(2);  // "Close"
        EXPECT_FALSE(page->ClearButton()->isEnabled());

        // Shift alone shows itself and goes when released; Caps Lock is a key like any other.
        QTest::keyPress(page->CaptureField(), Qt::Key_Shift, Qt::ShiftModifier);
        EXPECT_EQ(page->CaptureField()->text(), QStringLiteral("Shift + "));
        QTest::keyRelease(page->CaptureField(), Qt::Key_Shift);
        EXPECT_EQ(page->CaptureField()->text(), QString());
        QTest::keyClick(page->CaptureField(), Qt::Key_CapsLock);
        EXPECT_EQ(page->CaptureField()->text(), QStringLiteral("Caps Lock"));
        EXPECT_TRUE(page->AssignButton()->isEnabled());

        QTest::keyClick(page->CaptureField(), Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(page->CaptureField()->text(), QStringLiteral("Ctrl + N"));
        EXPECT_EQ(page->CaptureField()->cursorPosition(), 8);
        EXPECT_EQ(page->UsedActionLabel()->text(), QStringLiteral("New"));
        QTest::mouseClick(page->AssignButton(), Qt::LeftButton);
        EXPECT_EQ(page->CurrentShortcutLabel()->text(), QStringLiteral("Ctrl + N"));
        EXPECT_EQ(page->CaptureField()->text(), QString());
        EXPECT_FALSE(page->AssignButton()->isEnabled());
        EXPECT_TRUE(page->ClearButton()->isEnabled());
        EXPECT_TRUE(page->RevertPanelButton()->isEnabled());
        EXPECT_TRUE(page->InitialSettingButton()->isEnabled());
        EXPECT_EQ(sheet->focusWidget(), page->CaptureField());
        checked = true;
        sheet->accept();
    });
    ASSERT_TRUE(frame.Run(CommandId::Preference));
    ASSERT_TRUE(checked);

    EXPECT_FALSE(frame.App().shortcuts[0].HasShortcut());
    EXPECT_EQ(closeItem->text(), QStringLiteral("Close\tCtrl+N"));
    EXPECT_EQ(newItem->text(), QStringLiteral("New(&N)..."));
    // The frame's table follows: Ctrl+N now closes the document instead of asking for a new one.
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame.App().Documents().empty(); }, 2000));
}

TEST_F(ShortcutKeys, CancelLeavesTheRecordsAndEscapeIsNoKeyToCapture) {
    QTimer::singleShot(0, [] {
        auto* sheet = qobject_cast<PreferenceSheet*>(QApplication::activeModalWidget());
        ASSERT_NE(sheet, nullptr);
        CShortCutDlg* page = sheet->ShortcutsPage();
        page->ClearButton()->click();  // "New" loses Ctrl+N on the page's copy
        QTest::keyClick(page->CaptureField(), Qt::Key_Escape);
    });
    ASSERT_TRUE(frame.Run(CommandId::Preference));
    EXPECT_EQ(frame.App().shortcuts, DefaultShortcuts());
}

}  // namespace
}  // namespace pelmora::test
