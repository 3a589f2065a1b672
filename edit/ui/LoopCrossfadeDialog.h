#pragma once
// The "Loop Crossfade" dialog: crossfade type, the sustain and release percentages (slider, edit
// and spin each) and the curve, over CrossfadeDialogModel. The model is opened on the sound
// before the dialog is made.

#include <QDialog>
#include <functional>
#include <string>

#include "edit/CrossfadeDialogModel.h"

class QGridLayout;
class QLineEdit;
class QRadioButton;
class QSlider;
class QToolButton;

namespace pelmora {

class LoopCrossfadeDialog : public QDialog {
    Q_OBJECT
public:
    LoopCrossfadeDialog(CrossfadeDialogModel& model, QWidget* parent = nullptr);

public slots:
    // Cancel: the remembered values stay as they were before the dialog opened.
    void reject() override;


private:
    struct PercentControls {
        QSlider* slider = nullptr;
        QLineEdit* edit = nullptr;
        QToolButton* up = nullptr;
        QToolButton* down = nullptr;
        void SetEnabled(bool enabled);
    };

    PercentControls AddPercentRow(QGridLayout* grid, int row, int maximum,
                                  std::function<int()> percent, std::function<void(long long)> set,
                                  std::function<bool(const std::string&)> commit);
    void Show();
    void Ok();

    CrossfadeDialogModel& model_;
    const CrossfadeDialogModel saved_;  // Cancel gives the model back its values
    QRadioButton* sustainOnly_;
    QRadioButton* sustainRelease_;
    PercentControls sustain_;
    PercentControls release_;
};

}  // namespace pelmora
