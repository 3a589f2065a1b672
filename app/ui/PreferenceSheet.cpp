#include "app/ui/PreferenceSheet.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/ui/QtKeyMap.h"
#include "base/ui/Translate.h"

namespace pelmora {

namespace {

QString FromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A value the page shows in a sunken box, like a read-only field.
QLabel* ValueLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(150);
    return label;
}

}  // namespace

ShortcutCaptureEdit::ShortcutCaptureEdit(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

bool ShortcutCaptureEdit::event(QEvent* event) {
    // Before QWidget's own handling, so that Tab is a key to capture rather than a move on.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !(key->modifiers() & ~Qt::KeypadModifier)) return QLineEdit::event(event);
        const KeyStroke stroke = StrokeOf(*key);
        emit KeyWentDown(stroke.virtualKey, stroke.modifiers);
        end(false);
        return true;
    }
    if (event->type() == QEvent::KeyRelease) {
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) emit KeyWentUp();
        return true;
    }
    if (event->type() == QEvent::InputMethod) return true;
    return QLineEdit::event(event);
}

void ShortcutCaptureEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    deselect();
    end(false);
}

CShortCutDlg::CShortCutDlg(const ShortcutTable& applied, QWidget* parent) : QWidget(parent), model_(applied) {
    menus_ = new QListWidget(this);
    actions_ = new QListWidget(this);
    capture_ = new ShortcutCaptureEdit(this);
    current_ = ValueLabel(this);
    used_ = ValueLabel(this);
    assign_ = new QPushButton(Tr("Assign"), this);
    revert_ = new QPushButton(Tr("Revert Panel"), this);
    initial_ = new QPushButton(Tr("Initial setting"), this);
    clear_ = new QPushButton(Tr("Clear"), this);
    for (QPushButton* button : {assign_, revert_, initial_, clear_}) button->setAutoDefault(false);
    menus_->setMaximumWidth(110);

    auto* captureLabel = new QLabel(Tr("New Shortcut(&N)"), this);
    captureLabel->setBuddy(capture_);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(Tr("Menu :"), this), 0, 0);
    grid->addWidget(new QLabel(Tr("Action :"), this), 0, 1);
    grid->addWidget(menus_, 1, 0, 4, 1);
    grid->addWidget(actions_, 1, 1, 4, 2);
    grid->addWidget(clear_, 1, 3);
    grid->addWidget(revert_, 2, 3);
    grid->addWidget(initial_, 3, 3);
    grid->addWidget(new QLabel(Tr("Current Shortcut"), this), 5, 0);
    grid->addWidget(current_, 5, 1, 1, 2);
    grid->addWidget(captureLabel, 6, 0);
    grid->addWidget(capture_, 6, 1, 1, 2);
    grid->addWidget(assign_, 6, 3);
    grid->addWidget(new QLabel(Tr("Used Action"), this), 7, 0);
    grid->addWidget(used_, 7, 1, 1, 2);
    grid->setRowStretch(4, 1);

    for (std::string_view name : ShortcutPageModel::GroupNames()) menus_->addItem(Tr(std::string(name).c_str()));
    menus_->setCurrentRow(0);
    FillActions();

    connect(menus_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0) return;
        model_.SelectGroup(static_cast<std::size_t>(row));
        FillActions();
        ShowState();
    });
    connect(actions_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0) return;
        model_.SelectAction(static_cast<std::size_t>(row));
        ShowState();
    });
    connect(capture_, &ShortcutCaptureEdit::KeyWentDown, this, [this](std::uint16_t key, std::uint8_t modifiers) {
        model_.KeyDown(key, modifiers);
        ShowState();
    });
    connect(capture_, &ShortcutCaptureEdit::KeyWentUp, this, [this] {
        model_.KeyUp();
        ShowState();
    });
    connect(assign_, &QPushButton::clicked, this, [this] {
        model_.Assign();
        AfterChange();
    });
    connect(clear_, &QPushButton::clicked, this, [this] {
        model_.Clear();
        AfterChange();
    });
    connect(revert_, &QPushButton::clicked, this, [this] {
        model_.RevertPanel();
        ShowState();
    });
    connect(initial_, &QPushButton::clicked, this, [this] {
        model_.InitialSetting();
        ShowState();
    });
    ShowState();
    setFocusProxy(capture_);
}

void CShortCutDlg::FillActions() {
    const QSignalBlocker quiet(actions_);
    actions_->clear();
    for (std::string_view name : model_.ActionNames()) actions_->addItem(FromView(name));
    actions_->setCurrentRow(static_cast<int>(model_.SelectedAction()));
}

void CShortCutDlg::ShowState() {
    current_->setText(QString::fromStdString(model_.CurrentShortcut()));
    used_->setText(QString::fromStdString(model_.UsedAction()));
    if (capture_->text() != QString::fromStdString(model_.CaptureText())) {
        capture_->setText(QString::fromStdString(model_.CaptureText()));
        capture_->end(false);
    }
    assign_->setEnabled(model_.AssignEnabled());
    clear_->setEnabled(model_.ClearEnabled());
    revert_->setEnabled(model_.RevertPanelEnabled());
    initial_->setEnabled(model_.InitialSettingEnabled());
}

void CShortCutDlg::AfterChange() {
    ShowState();
    capture_->setFocus();
}

PreferenceSheet::PreferenceSheet(const ShortcutTable& applied, QWidget* parent) : QDialog(parent) {
    setWindowTitle(Tr("Preference"));
    auto* tabs = new QTabWidget(this);
    page_ = new CShortCutDlg(applied, tabs);
    tabs->addTab(page_, Tr("Shortcuts"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    page_->setFocus();
}

}  // namespace pelmora
