#include "edit/ui/TimeCompExpDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "base/ui/Translate.h"
#include "edit/ui/TwoEdits.h"

namespace pelmora {

TimeCompExpDialog::TimeCompExpDialog(TimeDialogModel& model, std::uint32_t original, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(Tr("Time Compression/Expansion"));
    model_.Open(original);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(TimeDialogModel::kSliderMin, TimeDialogModel::kSliderMax);
    slider_->setPageStep(TimeDialogModel::kSliderPage);
    percentEdit_ = new QLineEdit(this);
    percentEdit_->setMaxLength(static_cast<int>(TimeDialogModel::kPercentLength));
    percentEdit_->setMaximumWidth(percentEdit_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    original_ = new QLabel(QString::number(original), this);
    modifiedEdit_ = new QLineEdit(this);
    modifiedEdit_->setMaxLength(static_cast<int>(TimeDialogModel::kModifiedLength));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(slider_, 0, 0, 1, 2);
    grid->addWidget(percentEdit_, 0, 2, Qt::AlignRight);
    grid->addWidget(new QLabel(Tr("%"), this), 0, 3);
    grid->addWidget(new QLabel(Tr("Original"), this), 1, 0);
    grid->addWidget(original_, 1, 1, 1, 2);
    grid->addWidget(new QLabel(Tr("[samples]"), this), 1, 3);
    grid->addWidget(new QLabel(Tr("Modified"), this), 2, 0);
    grid->addWidget(modifiedEdit_, 2, 1, 1, 2);
    grid->addWidget(new QLabel(Tr("[samples]"), this), 2, 3);
    grid->addWidget(buttons, 3, 0, 1, 4);
    grid->setColumnStretch(1, 1);

    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        if (position == model_.SliderPosition()) return;
        model_.MoveSlider(position);
        Show();
    });
    const auto show = [this] { Show(); };
    CommitWhenLeft(
        this, percentEdit_, [this] { return model_.PercentText(); },
        [this](const std::string& text) { return model_.CommitPercentText(text) != DialogVerdict::Rejected; }, show);
    CommitWhenLeft(
        this, modifiedEdit_, [this] { return model_.ModifiedText(); },
        [this](const std::string& text) { return model_.CommitModifiedText(text) != DialogVerdict::Rejected; },
        show);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Show();
}

void TimeCompExpDialog::Show() {
    const QSignalBlocker block(slider_);
    slider_->setValue(model_.SliderPosition());
    percentEdit_->setText(QString::fromStdString(model_.PercentText()));
    modifiedEdit_->setText(QString::fromStdString(model_.ModifiedText()));
}

void TimeCompExpDialog::Ok() {
    const TypedEdit typed =
        EditTypedIn(percentEdit_, percentEdit_->text().toStdString() != model_.PercentText(), modifiedEdit_,
                    modifiedEdit_->text().toStdString() != model_.ModifiedText());
    const TimeField focus = typed == TypedEdit::Second ? TimeField::Modified
                            : typed == TypedEdit::First ? TimeField::Percent
                                                        : TimeField::None;
    QLineEdit* edit = typed == TypedEdit::Second ? modifiedEdit_ : percentEdit_;
    if (AcceptedAtOk(model_.Ok(focus, edit->text().toStdString()), edit, [this] { Show(); })) accept();
}

}  // namespace pelmora
