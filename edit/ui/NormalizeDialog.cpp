#include "edit/ui/NormalizeDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSlider>

#include "base/ui/Translate.h"

namespace pelmora {

NormalizeDialog::NormalizeDialog(NormalizeDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model), saved_(model) {
    setWindowTitle(Tr("Normalize"));
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(NormalizeDialogModel::kMinRate, NormalizeDialogModel::kMaxRate);
    rateEdit_ = new QLineEdit(this);
    rateEdit_->setMaxLength(3);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    form->addRow(slider_);
    form->addRow(Tr("Rate[%]"), rateEdit_);
    form->addRow(buttons);

    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        if (position == model_.SliderPosition()) return;
        model_.MoveSlider(position);
        Show();
    });
    connect(rateEdit_, &QLineEdit::editingFinished, this, [this] {
        if (model_.CommitRateText(rateEdit_->text().toStdString())) Show();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Show();
}

void NormalizeDialog::Show() {
    slider_->setValue(model_.SliderPosition());
    rateEdit_->setText(QString::number(model_.Rate()));
}

void NormalizeDialog::Ok() {
    switch (model_.Ok(rateEdit_->text().toStdString())) {
    case DialogVerdict::Accepted:
        accept();
        return;
    case DialogVerdict::CorrectedStayOpen:
        Show();
        break;
    case DialogVerdict::Rejected:
        break;
    }
    rateEdit_->setFocus();
    rateEdit_->selectAll();
}

void NormalizeDialog::reject() {
    model_ = saved_;
    QDialog::reject();
}

}  // namespace pelmora
