#pragma once
// Driving the modal dialog a command opens, from the event loop that the dialog runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace pelmora::test {

// Runs `drive` on the modal dialog of type T once the command has opened it; a dialog that
// `drive` leaves open is cancelled, so a failing test cannot hang.
template <typename T>
void WhenModal(std::function<void(T&)> drive) {
    QTimer::singleShot(0, [drive] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<T*>(modal);
        if (!dialog) {
            ADD_FAILURE() << "the expected dialog is not open";
            if (modal) modal->close();
            return;
        }
        drive(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

inline void PressOk(QDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

}  // namespace pelmora::test
