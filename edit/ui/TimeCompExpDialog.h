#pragma once
// The "Time Compression/Expansion" dialog: slider, percent and modified length kept in step by
// TimeDialogModel, with the original length shown.

#include <QDialog>

#include "edit/TimeDialogModel.h"

class QLabel;
class QLineEdit;
class QSlider;

namespace pelmora {

class TimeCompExpDialog : public QDialog {
    Q_OBJECT
public:
    // Opens at 100 % for a selection of `original` frames.
    TimeCompExpDialog(TimeDialogModel& model, std::uint32_t original, QWidget* parent = nullptr);

private:
    void Show();
    void Ok();

    TimeDialogModel& model_;
    QSlider* slider_;
    QLineEdit* percentEdit_;
    QLabel* original_;
    QLineEdit* modifiedEdit_;
};

}  // namespace pelmora
