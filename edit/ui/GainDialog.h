#pragma once
// The "Gain" dialog: slider, rate and dB edits kept in step by GainDialogModel.

#include <QDialog>
#include <optional>

#include "edit/GainDialogModel.h"

class QLineEdit;
class QSlider;

namespace pelmora {

class GainDialog : public QDialog {
    Q_OBJECT
public:
    GainDialog(GainDialogModel& model, QWidget* parent = nullptr);
    // The rate OK committed; nullopt while the dialog has not been accepted.
    std::optional<int> Rate() const { return rate_; }

public slots:
    // Cancel: the remembered values stay as they were before the dialog opened.
    void reject() override;


private:
    void Show();
    void Ok();

    GainDialogModel& model_;
    const GainDialogModel saved_;  // Cancel gives the model back its values
    QSlider* slider_;
    QLineEdit* rateEdit_;
    QLineEdit* levelEdit_;
    std::optional<int> rate_;
};

}  // namespace pelmora
