#pragma once
// "Sound Device Configuration": the input and output devices in two drop-down lists; OK makes the
// chosen ones the selected devices.

#include <QDialog>

#include "audio/SoundDevices.h"

class QComboBox;

namespace pelmora {

class SoundDeviceDialog : public QDialog {
    Q_OBJECT
public:
    SoundDeviceDialog(SoundDevices& devices, QWidget* parent = nullptr);

    QComboBox* Inputs() const { return inputs_; }
    QComboBox* Outputs() const { return outputs_; }
    // Takes the chosen devices; called on OK.
    void Apply();

private:
    SoundDevices& devices_;
    QComboBox* inputs_ = nullptr;
    QComboBox* outputs_ = nullptr;
};

}  // namespace pelmora
