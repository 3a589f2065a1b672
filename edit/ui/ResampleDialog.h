#pragma once
// The "Sampling Rate Conversion" dialog over ResampleDialogModel: the FIR order and the
// rejection with their MINUS and PLUS buttons, and the rate edit.

#include <QDialog>

#include "edit/ResampleDialogModel.h"

class QLabel;
class QLineEdit;

namespace pelmora {

class ResampleDialog : public QDialog {
    Q_OBJECT
public:
    ResampleDialog(ResampleDialogModel& model, QWidget* parent = nullptr);

private:
    void Show();
    void Ok();
    void FocusRate();

    ResampleDialogModel& model_;
    QLabel* order_;
    QLabel* rejection_;
    QLineEdit* rate_;
};

}  // namespace pelmora
