#include "edit/ui/LoopCrossfadeDialog.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/ui/Translate.h"

namespace pelmora {

namespace {

QToolButton* SpinButton(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    return button;
}

}  // namespace

void LoopCrossfadeDialog::PercentControls::SetEnabled(bool enabled) {
    for (QWidget* w : {static_cast<QWidget*>(slider), static_cast<QWidget*>(edit),
                       static_cast<QWidget*>(up), static_cast<QWidget*>(down)})
        w->setEnabled(enabled);
}

LoopCrossfadeDialog::LoopCrossfadeDialog(CrossfadeDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model), saved_(model) {
    setWindowTitle(Tr("Loop Crossfade"));

    auto* typeBox = new QGroupBox(Tr("Crossfade type"), this);
    sustainOnly_ = new QRadioButton(Tr("Sustain"), typeBox);
    sustainRelease_ = new QRadioButton(Tr("Sustain + Release"), typeBox);
    auto* typeLayout = new QHBoxLayout(typeBox);
    typeLayout->addWidget(sustainOnly_);
    typeLayout->addWidget(sustainRelease_);
    (model_.Type() == CrossfadeType::Sustain ? sustainOnly_ : sustainRelease_)->setChecked(true);

    auto* grid = new QGridLayout;
    const CrossfadeMaxima maxima = model_.Maxima();
    sustain_ = AddPercentRow(
        grid, 0, maxima.sustain, [this] { return model_.SustainPercent(); },
        [this](long long p) { model_.SetSustainPercent(p); },
        [this](const std::string& text) { return model_.CommitSustainText(text); });
    release_ = AddPercentRow(
        grid, 1, maxima.release, [this] { return model_.ReleasePercent(); },
        [this](long long p) { model_.SetReleasePercent(p); },
        [this](const std::string& text) { return model_.CommitReleaseText(text); });

    auto* curveBox = new QGroupBox(Tr("Curve"), this);
    auto* curveLayout = new QHBoxLayout(curveBox);
    auto* curves = new QButtonGroup(this);
    const std::pair<const char*, CrossfadeCurve> curveChoices[] = {
        {"Liner", CrossfadeCurve::Linear}, {"+Exp", CrossfadeCurve::PlusExp}, {"-Exp", CrossfadeCurve::MinusExp}};
    for (const auto& [text, curve] : curveChoices) {
        auto* button = new QRadioButton(Tr(text), curveBox);
        button->setChecked(curve == model_.Curve());
        curves->addButton(button, static_cast<int>(curve));
        curveLayout->addWidget(button);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(typeBox);
    layout->addLayout(grid);
    layout->addWidget(curveBox);
    layout->addWidget(buttons);

    connect(sustainRelease_, &QRadioButton::toggled, this, [this](bool withRelease) {
        model_.SetType(withRelease ? CrossfadeType::SustainRelease : CrossfadeType::Sustain);
        Show();
    });
    connect(curves, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) model_.SetCurve(static_cast<CrossfadeCurve>(id));
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Show();
}

LoopCrossfadeDialog::PercentControls LoopCrossfadeDialog::AddPercentRow(
    QGridLayout* grid, int row, int maximum, std::function<int()> percent,
    std::function<void(long long)> set, std::function<bool(const std::string&)> commit) {
    PercentControls c;
    c.slider = new QSlider(Qt::Horizontal, this);
    c.slider->setRange(0, maximum);
    c.slider->setPageStep(CrossfadeDialogModel::SliderPage(maximum));
    c.edit = new QLineEdit(this);
    c.edit->setMaxLength(3);
    c.up = SpinButton(this, Qt::UpArrow);
    c.down = SpinButton(this, Qt::DownArrow);
    grid->addWidget(c.slider, row, 0);
    grid->addWidget(c.edit, row, 1);
    grid->addWidget(c.up, row, 2);
    grid->addWidget(c.down, row, 3);
    grid->addWidget(new QLabel(QStringLiteral("%"), this), row, 4);

    connect(c.slider, &QSlider::valueChanged, this, [this, percent, set](int position) {
        if (position == percent()) return;
        set(position);
        Show();
    });
    connect(c.up, &QToolButton::clicked, this, [this, percent, set] { set(percent() + 1); Show(); });
    connect(c.down, &QToolButton::clicked, this, [this, percent, set] { set(percent() - 1); Show(); });
    QLineEdit* edit = c.edit;
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, commit] {
        if (commit(edit->text().toStdString())) Show();
        else edit->selectAll();
    });
    return c;
}

void LoopCrossfadeDialog::Show() {
    sustain_.slider->setValue(model_.SustainPercent());
    sustain_.edit->setText(QString::number(model_.SustainPercent()));
    release_.slider->setValue(model_.ReleasePercent());
    release_.edit->setText(QString::number(model_.ReleasePercent()));
    release_.SetEnabled(model_.ReleaseControlsEnabled());
}

void LoopCrossfadeDialog::Ok() {
    // A click on OK takes the focus first: an edit whose text differs from its value still
    // has a text to commit, and a refused one keeps the dialog open.
    auto pending = [](const PercentControls& c, int percent) {
        return c.edit->hasFocus() || c.edit->text() != QString::number(percent);
    };
    if (pending(sustain_, model_.SustainPercent()) && !model_.CommitSustainText(sustain_.edit->text().toStdString())) {
        sustain_.edit->selectAll();
        return;
    }
    if (pending(release_, model_.ReleasePercent()) && !model_.CommitReleaseText(release_.edit->text().toStdString())) {
        release_.edit->selectAll();
        return;
    }
    accept();
}

void LoopCrossfadeDialog::reject() {
    model_ = saved_;
    QDialog::reject();
}

}  // namespace pelmora
