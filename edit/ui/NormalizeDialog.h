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

public slots:
    // Cancel: the remembered values stay as they were before the dialog opened.
    void reject() override;


private:
    void Show();
    void Ok();

    NormalizeDialogModel& model_;
    const NormalizeDialogModel saved_;  // Cancel gives the model back its values
    QSlider* slider_;
    QLineEdit* rateEdit_;
};

}  // namespace pelmora
