#include "edit/ui/EqDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/ui/Translate.h"
#include "edit/ui/EqResponseGraph.h"

namespace pelmora {

EqDialog::EqDialog(EqDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(Tr("Parametric Equalizer"));

    auto* grid = new QGridLayout;
    const char* const headings[] = {"Gain (dB)", "Freq (Hz)", "Q"};
    for (int column = 0; column < 3; ++column)
        grid->addWidget(new QLabel(Tr(headings[column]), this), 0, column + 1, Qt::AlignHCenter);
    const char* const bands[] = {"low", "Mid", "High"};
    for (int band = 0; band < 3; ++band) {
        auto* button = new QPushButton(Tr(bands[band]), this);
        button->setCheckable(true);
        button->setAutoDefault(false);
        bandButtons_[static_cast<std::size_t>(band)] = button;
        grid->addWidget(button, band + 1, 0);
        connect(button, &QPushButton::clicked, this, [this, band] { SelectBand(band); });
        for (EqField field : {EqField::Gain, EqField::Frequency, EqField::Q}) {
            auto* edit = new QLineEdit(this);
            edit->setMaxLength(static_cast<int>(EqDialogModel::kEditChars));
            edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("-00.00") + 12);
            edit->setAlignment(Qt::AlignRight);
            edits_[static_cast<std::size_t>(band)][static_cast<std::size_t>(field)] = edit;
            grid->addWidget(edit, band + 1, static_cast<int>(field) + 1);
            connect(edit, &QLineEdit::editingFinished, this, [this, band, field] { Commit(band, field); });
        }
    }
    grid->setRowStretch(4, 1);

    graph_ = new EqResponseGraph(model_, this);
    connect(graph_, &EqResponseGraph::BandChanged, this, [this] { Show(); });
    connect(graph_, &EqResponseGraph::BandButtonPressed, this, [this](int band) { SelectBand(band); });

    auto* buttons = new QDialogButtonBox(this);
    auto* eq = buttons->addButton(Tr("EQ"), QDialogButtonBox::AcceptRole);
    eq->setDefault(true);
    buttons->addButton(Tr("Cancel"), QDialogButtonBox::RejectRole);
    auto* reset = buttons->addButton(Tr("Reset"), QDialogButtonBox::ResetRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(reset, &QPushButton::clicked, this, [this] {
        model_.Reset();
        Show();
    });

    auto* top = new QHBoxLayout;
    top->addLayout(grid);
    top->addWidget(graph_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);
    resize(620, 240);
    Show();
}

void EqDialog::Show() {
    for (int band = 0; band < 3; ++band) {
        for (EqField field : {EqField::Gain, EqField::Frequency, EqField::Q})
            Edit(band, field)->setText(QString::fromStdString(model_.Text(band, field)));
        BandButton(band)->setChecked(band == model_.CurrentBand());
    }
    graph_->update();
}

void EqDialog::Commit(int band, EqField field) {
    QLineEdit* edit = Edit(band, field);
    const std::string text = edit->text().toStdString();
    if (text == model_.Text(band, field)) return;
    const bool taken = model_.Commit(band, field, text);
    Show();
    if (!taken) edit->selectAll();
}

void EqDialog::SelectBand(int band) {
    model_.SelectBand(band);
    Show();
}

void EqDialog::Ok() {
    EqTexts texts;
    for (int band = 0; band < 3; ++band)
        for (EqField field : {EqField::Gain, EqField::Frequency, EqField::Q})
            texts[static_cast<std::size_t>(band)][static_cast<std::size_t>(field)] = Edit(band, field)->text().toStdString();
    EqDialogModel::Edit rejected;
    switch (model_.Ok(texts, &rejected)) {
    case DialogVerdict::Accepted: accept(); return;
    case DialogVerdict::CorrectedStayOpen: Show(); return;
    case DialogVerdict::Rejected:
        Show();
        Edit(rejected.band, rejected.field)->setFocus();
        Edit(rejected.band, rejected.field)->selectAll();
        return;
    }
}

}  // namespace pelmora
