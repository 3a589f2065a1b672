#include "sampler/ui/SamplerDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include "base/ui/Translate.h"
#include "mp3/ui/UpDownEdit.h"

namespace pelmora {

namespace {

QString Qs(const std::string& text) { return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

CSamplerDlg::CSamplerDlg(smdi::SamplerDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(Tr(Text(model.Title())));
    list_ = new QListWidget(this);
    list_->setFont(QFont(QStringLiteral("monospace")));
    information_ = new QLabel(this);
    information_->setMinimumHeight(information_->fontMetrics().height() * 2 + 4);
    numberLabel_ = new QLabel(Tr(Text(StringId::SampleNumberLabel)), this);
    number_ = new UpDownEdit([](const QString& text, int steps) {
        const int value = std::clamp(text.toInt() + steps, 1, static_cast<int>(smdi::kSynthesizerSlots));
        return QString::number(value);
    }, 4, this);
    number_->SetText(QStringLiteral("1"));
    number_->setMinimumWidth(number_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 30);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Tr(Text(model.OkCaption())), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(Tr(Text(StringId::SamplerCancel)), QDialogButtonBox::RejectRole);

    auto* grid = new QGridLayout(this);
    grid->addWidget(list_, 0, 0, 1, 3);
    grid->addWidget(new QLabel(Tr(Text(model.InfoLabel())), this), 1, 0, 1, 3);
    grid->addWidget(information_, 2, 0, 1, 3);
    grid->addWidget(numberLabel_, 3, 0);
    grid->addWidget(number_, 3, 1);
    grid->addWidget(buttons, 4, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    numberLabel_->setVisible(model.ShowsSampleNumber());
    number_->setVisible(model.ShowsSampleNumber());

    RefreshLines();
    if (list_->count() > 0) list_->setCurrentRow(0);
    ShowInformation();
    connect(buttons, &QDialogButtonBox::accepted, this, &CSamplerDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, [this] {
        FetchVisible();
        ShowInformation();
    });
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { FetchVisible(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    resize(420, 300);
}

bool CSamplerDlg::Run(smdi::SamplerDialogModel& model, QWidget* parent) {
    CSamplerDlg dialog(model, parent);
    return dialog.exec() == QDialog::Accepted && dialog.closedWithResult_;
}

std::optional<std::size_t> CSamplerDlg::Selected() const {
    const int row = list_->currentRow();
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
}

void CSamplerDlg::RefreshLines() {
    const auto count = static_cast<int>(model_.LineCount());
    if (list_->count() != count) {
        list_->clear();
        for (int i = 0; i < count; ++i) list_->addItem(Qs(model_.Line(static_cast<std::size_t>(i))));
        return;
    }
    for (int i = 0; i < count; ++i) {
        const QString text = Qs(model_.Line(static_cast<std::size_t>(i)));
        if (list_->item(i)->text() != text) list_->item(i)->setText(text);
    }
}

void CSamplerDlg::FetchVisible() {
    const QModelIndex top = list_->indexAt(QPoint(0, 0));
    const std::size_t first = top.isValid() ? static_cast<std::size_t>(top.row()) + 1 : 1;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool changed = model_.FetchVisible(first, smdi::kFetchCount);
    QApplication::restoreOverrideCursor();
    if (changed) RefreshLines();
}

void CSamplerDlg::ShowInformation() { information_->setText(Qs(model_.Information(Selected()))); }

void CSamplerDlg::accept() {
    std::string corrected;
    switch (model_.Ok(Selected(), number_->Text().toStdString(), corrected)) {
    case smdi::SamplerDialogModel::Verdict::Close:
        closedWithResult_ = true;
        QDialog::accept();
        return;
    case smdi::SamplerDialogModel::Verdict::CloseWithoutResult:
        QDialog::accept();
        return;
    case smdi::SamplerDialogModel::Verdict::StayOpen:
        if (!corrected.empty()) {
            number_->SetText(Qs(corrected));
            number_->setFocus();
            number_->selectAll();
        }
        return;
    }
}

}  // namespace pelmora
