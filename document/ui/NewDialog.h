#pragma once
// The "New" dialog: a thin view of NewDialogModel. Pressing "New" runs the model's checks; a
// correction or a message keeps the dialog open, as the model says.

#include <QDialog>

#include "base/Prompter.h"
#include "document/NewDialogModel.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace pelmora {

class NewDialog : public QDialog {
    Q_OBJECT
public:
    NewDialog(NewDialogModel& model, std::string workDir, Prompter& prompter,
              QWidget* parent = nullptr);

    // Writes the widgets into the model and runs its checks; true when the sound may be made.
    bool Press();

public slots:
    // Cancel: the remembered values stay as they were before the dialog opened.
    void reject() override;


private:
    void LoadFromModel();
    void StoreToModel();
    void UpdateFigures();

    NewDialogModel& model_;
    const NewDialogModel saved_;  // Cancel gives the model back its values
    std::string workDir_;
    Prompter& prompter_;
    QButtonGroup* type_;
    QButtonGroup* channels_;
    QButtonGroup* size_;
    QButtonGroup* rate_;
    QButtonGroup* data_;
    QButtonGroup* amplitude_;
    QButtonGroup* length_;
    QLineEdit* otherRate_;
    QLineEdit* otherAmplitude_;
    QLineEdit* frequency_;
    QLineEdit* minutes_;
    QLineEdit* seconds_;
    QLineEdit* milliseconds_;
    QLineEdit* samples_;
    QLabel* dataSize_;
    QLabel* remain_;
};

}  // namespace pelmora
