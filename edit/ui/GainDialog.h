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

private:
    void Show();
    void Ok();

    GainDialogModel& model_;
    QSlider* slider_;
    QLineEdit* rateEdit_;
    QLineEdit* levelEdit_;
    std::optional<int> rate_;
};

}  // namespace pelmora
