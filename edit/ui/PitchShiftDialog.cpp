#include "edit/ui/PitchShiftDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSlider>

#include "base/ui/Translate.h"
#include "edit/ui/TwoEdits.h"

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
    const auto show = [this] { Show(); };
    CommitWhenLeft(
        this, rateEdit_, [this] { return model_.RateText(); },
        [this](const std::string& text) { return model_.CommitRateText(text) != DialogVerdict::Rejected; }, show);
    CommitWhenLeft(
        this, centsEdit_, [this] { return model_.CentsText(); },
        [this](const std::string& text) { return model_.CommitCentsText(text) != DialogVerdict::Rejected; }, show);
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
    const TypedEdit typed = EditTypedIn(rateEdit_, rateEdit_->text().toStdString() != model_.RateText(), centsEdit_,
                                        centsEdit_->text().toStdString() != model_.CentsText());
    const PitchField focus = typed == TypedEdit::Second ? PitchField::Cents
                             : typed == TypedEdit::First ? PitchField::Rate
                                                         : PitchField::None;
    QLineEdit* edit = typed == TypedEdit::Second ? centsEdit_ : rateEdit_;
    if (AcceptedAtOk(model_.Ok(focus, edit->text().toStdString()), edit, [this] { Show(); })) accept();
}

void PitchShiftDialog::reject() {
    model_ = saved_;
    QDialog::reject();
}

}  // namespace pelmora
