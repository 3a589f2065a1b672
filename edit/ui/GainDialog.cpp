#include "edit/ui/GainDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSlider>

#include "base/ui/Translate.h"
#include "edit/ui/TwoEdits.h"

namespace pelmora {

GainDialog::GainDialog(GainDialogModel& model, QWidget* parent) : QDialog(parent), model_(model), saved_(model) {
    setWindowTitle(Tr("Gain"));
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(0, GainDialogModel::kSliderMax);
    slider_->setPageStep(GainDialogModel::kSliderPage);
    rateEdit_ = new QLineEdit(this);
    rateEdit_->setMaxLength(3);
    levelEdit_ = new QLineEdit(this);
    levelEdit_->setMaxLength(6);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    form->addRow(slider_);
    form->addRow(Tr("Rate[%]"), rateEdit_);
    form->addRow(Tr("dB"), levelEdit_);
    form->addRow(buttons);

    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        if (position == model_.SliderPosition()) return;
        model_.MoveSlider(position);
        Show();
    });
    connect(rateEdit_, &QLineEdit::editingFinished, this, [this] {
        if (model_.CommitRateText(rateEdit_->text().toStdString())) Show();
        else rateEdit_->selectAll();
    });
    connect(levelEdit_, &QLineEdit::editingFinished, this, [this] {
        if (model_.CommitLevelText(levelEdit_->text().toStdString())) Show();
        else levelEdit_->selectAll();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Show();
}

void GainDialog::Show() {
    slider_->setValue(model_.SliderPosition());
    rateEdit_->setText(QString::fromStdString(model_.RateText()));
    levelEdit_->setText(QString::fromStdString(model_.LevelText()));
}

void GainDialog::Ok() {
    const TypedEdit typed = EditTypedIn(rateEdit_, rateEdit_->text().toStdString() != model_.RateText(), levelEdit_,
                                        levelEdit_->text().toStdString() != model_.LevelText());
    const bool levelFocused = typed == TypedEdit::Second;
    const GainField focus = levelFocused ? GainField::Level : typed == TypedEdit::First ? GainField::Rate : GainField::None;
    const QString text = levelFocused ? levelEdit_->text() : rateEdit_->text();
    rate_ = model_.Ok(focus, text.toStdString());
    if (!rate_) {
        (levelFocused ? levelEdit_ : rateEdit_)->selectAll();
        return;
    }
    accept();
}

void GainDialog::reject() {
    model_ = saved_;
    QDialog::reject();
}

}  // namespace pelmora
