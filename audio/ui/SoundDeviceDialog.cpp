#include "audio/ui/SoundDeviceDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include "base/ui/Translate.h"

namespace pelmora {

namespace {

QComboBox* DeviceList(const std::vector<SoundDevice>& list, const SoundDevice* selected, QWidget* parent) {
    auto* box = new QComboBox(parent);
    for (const SoundDevice& d : list) {
        box->addItem(QString::fromStdString(d.caps.productName), QVariant::fromValue<qulonglong>(d.id));
        if (&d == selected) box->setCurrentIndex(box->count() - 1);
    }
    return box;
}

QGroupBox* Group(const QString& caption, QComboBox* list, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(list);
    return group;
}

}  // namespace

SoundDeviceDialog::SoundDeviceDialog(SoundDevices& devices, QWidget* parent) : QDialog(parent), devices_(devices) {
    setWindowTitle(Tr("Sound Device Configuration"));
    inputs_ = DeviceList(devices.Inputs(), devices.SelectedInput(), this);
    outputs_ = DeviceList(devices.Outputs(), devices.SelectedOutput(), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Group(Tr("Input"), inputs_, this));
    layout->addWidget(Group(Tr("Output"), outputs_, this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setMinimumWidth(320);
}

void SoundDeviceDialog::Apply() {
    if (inputs_->currentIndex() >= 0)
        devices_.SelectInput(static_cast<std::uint32_t>(inputs_->currentData().toULongLong()));
    if (outputs_->currentIndex() >= 0)
        devices_.SelectOutput(static_cast<std::uint32_t>(outputs_->currentData().toULongLong()));
}

}  // namespace pelmora
