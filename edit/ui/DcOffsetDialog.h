#pragma once
// The "DC Offset" dialog: Auto Elimination, or an offset typed in, over DcOffsetDialogModel.

#include <QDialog>

#include "edit/AmplitudeDialogModels.h"

class QLineEdit;
class QRadioButton;

namespace pelmora {

class DcOffsetDialog : public QDialog {
    Q_OBJECT
public:
    DcOffsetDialog(DcOffsetDialogModel& model, QWidget* parent = nullptr);

private:
    void Ok();

    DcOffsetDialogModel& model_;
    QRadioButton* autoButton_;
    QRadioButton* specifyButton_;
    QLineEdit* valueEdit_;
};

}  // namespace pelmora
