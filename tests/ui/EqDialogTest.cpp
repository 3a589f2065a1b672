// The "Parametric Equalizer" dialog driven as a user would: edits with their corrections, the
// band buttons, a drag on the graph, Reset, and "EQ" with and without gains.

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "MainFrameWithSound.h"
#include "edit/ui/EqDialog.h"
#include "edit/ui/EqResponseGraph.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class EqDialogTest : public MainFrameWithSound {
protected:
    // Runs `drive` on the dialog once "EQ..." has opened it; a dialog left open is cancelled.
    bool RunEq(std::function<void(EqDialog&)> drive) {
        QTimer::singleShot(0, [drive] {
            auto* dialog = qobject_cast<EqDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "the equalizer dialog is not open";
                if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
                return;
            }
            drive(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        return frame.Run(CommandId::Equalizer);
    }

    static void Type(EqDialog& dialog, int band, EqField field, const char* text) {
        QLineEdit* edit = dialog.Edit(band, field);
        edit->setText(text);
        emit edit->editingFinished();
    }
    static QString Shown(EqDialog& dialog, int band, EqField field) { return dialog.Edit(band, field)->text(); }

    static QPushButton* Button(EqDialog& dialog, const char* text) {
        for (QAbstractButton* b : dialog.findChild<QDialogButtonBox*>()->buttons())
            if (b->text() == text) return qobject_cast<QPushButton*>(b);
        return nullptr;
    }

    static void Mouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, keys);
        QApplication::sendEvent(widget, &event);
    }
};

}  // namespace

TEST_F(EqDialogTest, EditsDragAndEq) {
    EXPECT_FALSE(frame.IsEnabled(CommandId::Equalizer));  // no selection yet
    ASSERT_TRUE(frame.Run(CommandId::SelectAll));
    const std::vector<std::int32_t> before = SndfileSamples(child->Document().WorkingPath());

    ASSERT_TRUE(RunEq([&](EqDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Parametric Equalizer");
        EXPECT_EQ(Shown(dialog, kEqHigh, EqField::Frequency), "3999");  // an 8000 Hz sound
        Type(dialog, kEqLow, EqField::Gain, "25");
        EXPECT_EQ(Shown(dialog, kEqLow, EqField::Gain), "20.0");
        Type(dialog, kEqLow, EqField::Q, "0");
        EXPECT_EQ(Shown(dialog, kEqLow, EqField::Q), "LSF");
        Type(dialog, kEqMid, EqField::Q, "0");
        EXPECT_EQ(Shown(dialog, kEqMid, EqField::Q), "1");
        Type(dialog, kEqMid, EqField::Frequency, "x");
        EXPECT_EQ(Shown(dialog, kEqMid, EqField::Frequency), "1000");  // refused: the old value back

        Button(dialog, "Reset")->click();
        EXPECT_EQ(Shown(dialog, kEqLow, EqField::Gain), "0.0");
        EXPECT_EQ(Shown(dialog, kEqLow, EqField::Q), "1");

        // Drag the mid band up by a quarter of the graph with SHIFT: +10 dB, frequency kept.
        dialog.BandButton(kEqMid)->click();
        EXPECT_TRUE(dialog.BandButton(kEqMid)->isChecked());
        EXPECT_FALSE(dialog.BandButton(kEqLow)->isChecked());
        EqResponseGraph* graph = dialog.Graph();
        const QRect plot = graph->PlotArea();
        const QPointF start = plot.center();
        Mouse(graph, QEvent::MouseButtonPress, start, Qt::LeftButton);
        for (int i = 1; i <= 10; ++i)
            Mouse(graph, QEvent::MouseMove, start - QPointF(0, plot.height() / 4.0 * i / 10), Qt::NoButton,
                  Qt::ShiftModifier);
        Mouse(graph, QEvent::MouseButtonRelease, start - QPointF(0, plot.height() / 4.0), Qt::LeftButton);
        EXPECT_EQ(Shown(dialog, kEqMid, EqField::Gain), "10.0");
        EXPECT_EQ(Shown(dialog, kEqMid, EqField::Frequency), "1000");

        Button(dialog, "EQ")->click();
        EXPECT_FALSE(dialog.isVisible());
    }));
    EXPECT_EQ(frame.App().effectDialogs.eq.Remembered()[kEqMid].gain, 10.0);
    EXPECT_TRUE(child->Document().DataChanged());
    EXPECT_NE(SndfileSamples(child->Document().WorkingPath()), before);
    EXPECT_TRUE(child->Document().Undo().Enabled());
}

TEST_F(EqDialogTest, FlatBandsCloseTheDialogAndChangeNothing) {
    ASSERT_TRUE(frame.Run(CommandId::SelectAll));
    const std::vector<std::int32_t> before = SndfileSamples(child->Document().WorkingPath());
    bool closed = false;
    ASSERT_TRUE(RunEq([&](EqDialog& dialog) {
        Type(dialog, kEqHigh, EqField::Q, "HSF");
        Button(dialog, "EQ")->click();
        closed = !dialog.isVisible();
    }));
    EXPECT_TRUE(closed);
    EXPECT_EQ(frame.App().effectDialogs.eq.Remembered()[kEqHigh].type, EqBandType::HighShelf);
    EXPECT_FALSE(child->Document().DataChanged());
    EXPECT_FALSE(child->Document().Undo().Enabled());
    EXPECT_EQ(SndfileSamples(child->Document().WorkingPath()), before);

    // Cancel forgets what was typed.
    ASSERT_TRUE(RunEq([&](EqDialog& dialog) {
        EXPECT_EQ(Shown(dialog, kEqHigh, EqField::Q), "HSF");
        Type(dialog, kEqLow, EqField::Gain, "-3");
    }));
    EXPECT_EQ(frame.App().effectDialogs.eq.Remembered()[kEqLow].gain, 0.0);
}
