#pragma once
// The "Pitch Shift" dialog: slider, rate and cents edits kept in step by PitchDialogModel.

#include <QDialog>

#include "edit/PitchDialogModel.h"

class QLineEdit;
class QSlider;

namespace pelmora {

class PitchShiftDialog : public QDialog {
    Q_OBJECT
public:
    PitchShiftDialog(PitchDialogModel& model, QWidget* parent = nullptr);

public slots:
    // Cancel: the remembered values stay as they were before the dialog opened.
    void reject() override;

private:
    void Show();
    void Ok();

    PitchDialogModel& model_;
    const PitchDialogModel saved_;
    QSlider* slider_;
    QLineEdit* rateEdit_;
    QLineEdit* centsEdit_;
};

}  // namespace pelmora
