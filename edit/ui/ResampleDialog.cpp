#include "edit/ui/ResampleDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/ui/Translate.h"

namespace pelmora {

namespace {

QString TextOf(StringId id) { return QString::fromUtf8(Text(id)); }

QPushButton* StepButton(const char* text, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setFixedWidth(28);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

ResampleDialog::ResampleDialog(ResampleDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(TextOf(StringId::SamplingRateConversionCaption));
    order_ = new QLabel(this);
    rejection_ = new QLabel(this);
    for (QLabel* display : {order_, rejection_}) {
        display->setFrameShape(QFrame::StyledPanel);
        display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        display->setMinimumWidth(60);
    }
    rate_ = new QLineEdit(this);
    rate_->setMaxLength(static_cast<int>(ResampleDialogModel::kRateLength));
    rate_->setMaximumWidth(80);

    auto* grid = new QGridLayout;
    const auto row = [&](int at, StringId label, QWidget* value, QPushButton* minus, QPushButton* plus) {
        grid->addWidget(new QLabel(TextOf(label), this), at, 0);
        grid->addWidget(value, at, 1);
        if (minus) grid->addWidget(minus, at, 2);
        if (plus) grid->addWidget(plus, at, 3);
    };
    auto* orderDown = StepButton("\u2212", this);
    auto* orderUp = StepButton("+", this);
    auto* rejectionDown = StepButton("\u2212", this);
    auto* rejectionUp = StepButton("+", this);
    row(0, StringId::FirOrderLabel, order_, orderDown, orderUp);
    row(1, StringId::RejectionLabel, rejection_, rejectionDown, rejectionUp);
    row(2, StringId::SamplingRateLabel, rate_, nullptr, nullptr);
    auto* note = new QLabel(
        Tr("Upsampling filters at half the input rate: the filter is a single tap, so every\n"
           "order and rejection interpolate linearly, each output one input frame late."),
        this);
    note->setEnabled(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addWidget(buttons);

    const auto step = [this](void (ResampleDialogModel::*change)()) {
        return [this, change] {
            (model_.*change)();
            Show();
            FocusRate();
        };
    };
    connect(orderDown, &QPushButton::clicked, this, step(&ResampleDialogModel::OrderDown));
    connect(orderUp, &QPushButton::clicked, this, step(&ResampleDialogModel::OrderUp));
    connect(rejectionDown, &QPushButton::clicked, this, step(&ResampleDialogModel::RejectionDown));
    connect(rejectionUp, &QPushButton::clicked, this, step(&ResampleDialogModel::RejectionUp));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Show();
    rate_->setText(QString::fromStdString(model_.RateText()));
    FocusRate();
}

void ResampleDialog::Show() {
    order_->setText(QString::fromStdString(model_.OrderText()));
    rejection_->setText(QString::fromStdString(model_.RejectionText()));
}

void ResampleDialog::FocusRate() {
    rate_->setFocus();
    rate_->selectAll();
}

void ResampleDialog::Ok() {
    if (model_.Ok(rate_->text().toStdString()) == DialogVerdict::Accepted) {
        accept();
        return;
    }
    rate_->setText(QString::fromStdString(model_.RateText()));
    FocusRate();
}

}  // namespace pelmora
