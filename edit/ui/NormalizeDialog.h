#pragma once
// The "Normalize" dialog: a slider and a rate edit over NormalizeDialogModel.

#include <QDialog>

#include "edit/AmplitudeDialogModels.h"

class QLineEdit;
class QSlider;

namespace pelmora {

class NormalizeDialog : public QDialog {
    Q_OBJECT
public:
    NormalizeDialog(NormalizeDialogModel& model, QWidget* parent = nullptr);

private:
    void Show();
    void Ok();

    NormalizeDialogModel& model_;
    QSlider* slider_;
    QLineEdit* rateEdit_;
};

}  // namespace pelmora
