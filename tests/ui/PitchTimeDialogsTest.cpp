// The Pitch Shift and Time Compression/Expansion dialogs, driven through the Edit menu's
// commands as a user would. PELMORA_DIALOG_SHOTS=DIR also saves a picture of each dialog.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "app/ui/MainFrame.h"
#include "display/ui/ChildFrame.h"
#include "edit/Selection.h"
#include "edit/ui/PitchShiftDialog.h"
#include "edit/ui/TimeCompExpDialog.h"
#include "support/TempDir.h"
#include "MainFrameWithSound.h"
#include "ModalDialogs.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

void Picture(QWidget& dialog, const char* name) {
    if (const char* dir = std::getenv("PELMORA_DIALOG_SHOTS"))
        dialog.grab().save(QString::fromLocal8Bit(dir) + "/" + name);
}

}  // namespace

TEST(PitchTimeDialogs, CentsAboveTheLimitAreWrittenBackThenOkShifts) {
    OpenedSound s;
    ASSERT_NE(s.doc, nullptr);
    EXPECT_FALSE(s.frame.IsEnabled(CommandId::PitchShift));  // no selection
    ASSERT_TRUE(s.frame.Run(CommandId::SelectAll));
    bool stayedOpen = false;
    WhenModal<PitchShiftDialog>([&](PitchShiftDialog& dialog) {
        const auto edits = dialog.findChildren<QLineEdit*>();
        ASSERT_EQ(edits.size(), 2);
        EXPECT_EQ(edits[0]->text(), "100.0");
        EXPECT_EQ(edits[1]->text(), "0");
        EXPECT_EQ(dialog.findChild<QSlider*>()->value(), 100);
        Picture(dialog, "pitch-shift.png");
        edits[1]->setFocus();
        edits[1]->setText("1200");
        PressOk(dialog);
        stayedOpen = dialog.isVisible();
        EXPECT_EQ(edits[0]->text(), "125.0000");
        EXPECT_EQ(edits[1]->text(), "386");
        EXPECT_EQ(dialog.findChild<QSlider*>()->value(), 125);
        PressOk(dialog);
    });
    ASSERT_TRUE(s.frame.Run(CommandId::PitchShift));
    EXPECT_TRUE(stayedOpen);
    EXPECT_DOUBLE_EQ(s.frame.App().effectDialogs.pitch.Rate(), 125.0);
    EXPECT_TRUE(s.doc->DataChanged());
    EXPECT_EQ(s.doc->Info().frames, 8000u);
}

TEST(PitchTimeDialogs, TheModifiedLengthBecomesTheSelection) {
    OpenedSound s;
    ASSERT_NE(s.doc, nullptr);
    ASSERT_TRUE(SelectFrames(*s.doc, 100, 103));
    EXPECT_FALSE(s.frame.IsEnabled(CommandId::TimeCompExp));  // 3 frames
    ASSERT_TRUE(SelectFrames(*s.doc, 0, 8000));
    ASSERT_TRUE(SelectChannels(*s.doc, ChannelChoice::Left));
    EXPECT_FALSE(s.frame.IsEnabled(CommandId::TimeCompExp));  // one channel
    ASSERT_TRUE(SelectChannels(*s.doc, ChannelChoice::Both));
    EXPECT_TRUE(s.frame.IsEnabled(CommandId::TimeCompExp));
    bool limited = false;
    WhenModal<TimeCompExpDialog>([&](TimeCompExpDialog& dialog) {
        const auto edits = dialog.findChildren<QLineEdit*>();
        ASSERT_EQ(edits.size(), 2);
        EXPECT_EQ(edits[0]->text(), "100");
        EXPECT_EQ(edits[1]->text(), "8000");
        Picture(dialog, "time-comp-exp.png");
        edits[1]->setFocus();
        edits[1]->setText("20000");
        PressOk(dialog);
        limited = dialog.isVisible() && edits[1]->text() == "10000" && edits[0]->text() == "125";
        edits[1]->setText("6400");
        PressOk(dialog);
    });
    ASSERT_TRUE(s.frame.Run(CommandId::TimeCompExp));
    EXPECT_TRUE(limited);
    EXPECT_EQ(s.doc->Info().frames, 6400u);
    EXPECT_EQ(s.doc->selectionEnd, 6400u);
}
