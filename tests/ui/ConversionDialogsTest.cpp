// The File menu's conversion dialogs, driven through their commands as a user would: the
// captions and enabled choices, the Resample dialog's steps and corrections, and what OK does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "app/ui/MainFrame.h"
#include "display/ui/ChildFrame.h"
#include "document/ui/ConversionDialogs.h"
#include "edit/ui/ResampleDialog.h"
#include "support/TempDir.h"
#include "MainFrameWithSound.h"
#include "ModalDialogs.h"

using namespace pelmora;
using namespace pelmora::test;

TEST(ConversionDialogs, RadioChoicesAndTheirOk) {
    OpenedSound s;
    ASSERT_NE(s.doc, nullptr);
    EXPECT_FALSE(s.frame.IsEnabled(CommandId::AddChannel));  // stereo
    WhenModal<RadioChoiceDialog>([](RadioChoiceDialog& dialog) {
        const auto radios = dialog.findChildren<QRadioButton*>();
        ASSERT_EQ(radios.size(), 3);
        EXPECT_EQ(radios[0]->text(), "16  bit  >>>>   8 bit");
        EXPECT_EQ(radios[2]->text(), "16  bit  >>>>  32  bit");
        EXPECT_TRUE(radios[0]->isChecked());
        radios[2]->setChecked(true);
        PressOk(dialog);
    });
    ASSERT_TRUE(s.frame.Run(CommandId::ConvertBitSize));
    EXPECT_EQ(s.doc->Info().bitsPerSample, 32);

    WhenModal<RadioChoiceDialog>([](RadioChoiceDialog& dialog) {
        const auto radios = dialog.findChildren<QRadioButton*>();
        ASSERT_EQ(radios.size(), 3);
        EXPECT_EQ(radios[0]->text(), "WAVE -> AIFF");
        EXPECT_TRUE(radios[0]->isEnabled() && radios[0]->isChecked());
        EXPECT_FALSE(radios[1]->isEnabled() || radios[2]->isEnabled());
        PressOk(dialog);
    });
    ASSERT_TRUE(s.frame.Run(CommandId::FormatConversion));
    EXPECT_EQ(s.doc->Info().fileType, FileType::Aiff);
    EXPECT_EQ(s.doc->Title(), "tone.aif");

    WhenModal<RadioChoiceDialog>([](RadioChoiceDialog& dialog) {
        const auto radios = dialog.findChildren<QRadioButton*>();
        ASSERT_EQ(radios.size(), 2);
        EXPECT_EQ(radios[1]->text(), "Delete Ch2");
        radios[1]->setChecked(true);
        PressOk(dialog);
    });
    ASSERT_TRUE(s.frame.Run(CommandId::DeleteChannel));
    EXPECT_EQ(s.doc->Info().channels, 1);
    EXPECT_TRUE(s.frame.IsEnabled(CommandId::AddChannel));
    EXPECT_FALSE(s.frame.IsEnabled(CommandId::SwapChannels));
}

TEST(ConversionDialogs, ResampleStepsCorrectionsAndOk) {
    OpenedSound s;
    ASSERT_NE(s.doc, nullptr);
    bool corrected = false;
    WhenModal<ResampleDialog>([&](ResampleDialog& dialog) {
        auto* rate = dialog.findChild<QLineEdit*>();
        ASSERT_NE(rate, nullptr);
        EXPECT_EQ(rate->text(), "8000");
        const auto buttons = dialog.findChildren<QPushButton*>();
        QPushButton* orderUp = nullptr;
        for (QPushButton* b : buttons)
            if (b->text() == "+" && !orderUp) orderUp = b;
        ASSERT_NE(orderUp, nullptr);
        orderUp->click();
        orderUp->click();
        bool showsOrder = false;
        for (QLabel* label : dialog.findChildren<QLabel*>()) showsOrder = showsOrder || label->text() == "17";
        EXPECT_TRUE(showsOrder);
        EXPECT_EQ(rate->selectedText(), rate->text());  // the edit has the focus with its text selected
        rate->setText("96000");
        PressOk(dialog);
        corrected = dialog.isVisible() && rate->text() == "48000";
        rate->setText("11025");
        PressOk(dialog);
    });
    ASSERT_TRUE(s.frame.Run(CommandId::Resample));
    EXPECT_TRUE(corrected);
    EXPECT_EQ(s.doc->Info().sampleRate, 11025u);
    EXPECT_EQ(s.doc->Info().frames, 11025u);
}
