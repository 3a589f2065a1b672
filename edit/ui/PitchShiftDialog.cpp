#include "edit/ui/PitchShiftDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSlider>

#include "base/ui/Translate.h"

namespace pelmora {

PitchShiftDialog::PitchShiftDialog(PitchDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model), saved_(model) {
    setWindowTitle(Tr("Pitch Shift"));
    model_.Open();
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(PitchDialogModel::kSliderMin, PitchDialogModel::kSliderMax);
    slider_->setPageStep(PitchDialogModel::kSliderPage);
    rateEdit_ = new QLineEdit(this);
    rateEdit_->setMaxLength(static_cast<int>(PitchDialogModel::kEditLength));
    centsEdit_ = new QLineEdit(this);
    centsEdit_->setMaxLength(static_cast<int>(PitchDialogModel::kEditLength));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    form->addRow(slider_);
    form->addRow(Tr("Rate[%]"), rateEdit_);
    form->addRow(Tr("Cent"), centsEdit_);
    form->addRow(buttons);

    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        if (position == model_.SliderPosition()) return;
        model_.MoveSlider(position);
        Show();
    });
    connect(rateEdit_, &QLineEdit::editingFinished, this, [this] {
        if (rateEdit_->text().toStdString() == model_.RateText()) return;
        if (model_.CommitRateText(rateEdit_->text().toStdString()) == DialogVerdict::Rejected) rateEdit_->selectAll();
        else Show();
    });
    connect(centsEdit_, &QLineEdit::editingFinished, this, [this] {
        if (centsEdit_->text().toStdString() == model_.CentsText()) return;
        if (model_.CommitCentsText(centsEdit_->text().toStdString()) == DialogVerdict::Rejected) centsEdit_->selectAll();
        else Show();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Show();
}

void PitchShiftDialog::Show() {
    const QSignalBlocker block(slider_);
    slider_->setValue(model_.SliderPosition());
    rateEdit_->setText(QString::fromStdString(model_.RateText()));
    centsEdit_->setText(QString::fromStdString(model_.CentsText()));
}

void PitchShiftDialog::Ok() {
    // A click on OK takes the focus first; an edit whose text differs from the model's is the
    // one the user was typing in.
    const bool centsPending = centsEdit_->text().toStdString() != model_.CentsText();
    const bool ratePending = rateEdit_->text().toStdString() != model_.RateText();
    const bool centsFocused = centsEdit_->hasFocus() || (!rateEdit_->hasFocus() && centsPending);
    const bool rateFocused = !centsFocused && (rateEdit_->hasFocus() || ratePending);
    const PitchField focus = centsFocused ? PitchField::Cents : rateFocused ? PitchField::Rate : PitchField::None;
    QLineEdit* edit = centsFocused ? centsEdit_ : rateEdit_;
    const DialogVerdict verdict = model_.Ok(focus, edit->text().toStdString());
    if (verdict != DialogVerdict::Accepted) {
        if (verdict == DialogVerdict::CorrectedStayOpen) Show();
        edit->selectAll();
        return;
    }
    accept();
}

void PitchShiftDialog::reject() {
    model_ = saved_;
    QDialog::reject();
}

}  // namespace pelmora
