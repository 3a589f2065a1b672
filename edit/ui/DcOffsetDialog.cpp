#include "edit/ui/DcOffsetDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/ui/Translate.h"

namespace pelmora {

DcOffsetDialog::DcOffsetDialog(DcOffsetDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(Tr("DC Offset"));
    autoButton_ = new QRadioButton(Tr("Auto Elimination"), this);
    specifyButton_ = new QRadioButton(Tr("Specify Offset Value"), this);
    valueEdit_ = new QLineEdit(this);
    valueEdit_->setMaxLength(static_cast<int>(DcOffsetDialogModel::kValueChars));
    valueEdit_->setText(QString::number(model_.Value()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(autoButton_);
    layout->addWidget(specifyButton_);
    layout->addWidget(valueEdit_);
    layout->addWidget(buttons);

    (model_.Mode() == DcOffsetMode::Auto ? autoButton_ : specifyButton_)->setChecked(true);
    valueEdit_->setEnabled(model_.ValueEnabled());
    connect(specifyButton_, &QRadioButton::toggled, valueEdit_, &QLineEdit::setEnabled);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void DcOffsetDialog::Ok() {
    // The mode is remembered only when OK takes it.
    const DcOffsetMode before = model_.Mode();
    model_.SetMode(specifyButton_->isChecked() ? DcOffsetMode::Specify : DcOffsetMode::Auto);
    if (model_.Ok(valueEdit_->text().toStdString()) == DialogVerdict::Accepted) {
        accept();
        return;
    }
    model_.SetMode(before);
    valueEdit_->setFocus();
    valueEdit_->selectAll();
}

}  // namespace pelmora
