#include "display/ui/PaneWParam.h"

#include <QCoreApplication>
#include <algorithm>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/ui/Translate.h"
#include "base/Error.h"
#include "display/ParameterButtons.h"

namespace pelmora {

namespace {

constexpr int kFieldIndent = 1;    // between a field's frame and its text
constexpr int kSectionSpacing = 6;

QLabel* Separator(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

void SetPressed(QToolButton* button, bool pressed) { button->setChecked(pressed); }

constexpr FieldKind kTimeKinds[] = {FieldKind::Hours, FieldKind::Minutes, FieldKind::Seconds,
                                    FieldKind::Milliseconds};
constexpr const char* kTimeSeparators[] = {":", ":", "."};

}  // namespace

CPaneWParam::CPaneWParam(COLMDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    // The fields keep their width; a window too narrow for them scrolls the pane sideways.
    scroller_ = new QScrollArea(this);
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setWidgetResizable(true);
    scroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    content_ = new QWidget;
    // A point smaller than the rest of the window, as such forms are: the seven groups then fit
    // a new document window side by side.
    QFont small = content_->font();
    small.setPointSizeF(std::max(7.0, small.pointSizeF() - 1.0));
    content_->setFont(small);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroller_);

    for (int field = 0; field < kParameterFieldCount; ++field) fields_[std::size_t(field)] = MakeField(field);

    auto* layout = new QHBoxLayout(content_);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(kSectionSpacing);

    QGridLayout* selection = nullptr;
    layout->addWidget(GroupSection("Sel.", FieldGroup::SelectionStart, selection));
    selectionPositionLock_ = MakeButton(PaneGlyph::LockPosition, "Lock Sel Position");
    selectionLengthLock_ = MakeButton(PaneGlyph::LockLength, "Lock Sel Length");
    // The caption sits above the lock buttons, so the group needs no column of its own for it.
    QWidget* caption = selection->itemAtPosition(0, 0)->widget();
    selection->removeWidget(caption);
    selection->addWidget(caption, 0, 9);
    selection->addWidget(selectionPositionLock_, 1, 9);
    selection->addWidget(selectionLengthLock_, 3, 9);
    connect(selectionPositionLock_, &QToolButton::clicked, this,
            [this] { ToggleLock([this] { return ToggleSelectionPositionLock(doc_, Context().document); }); });
    connect(selectionLengthLock_, &QToolButton::clicked, this,
            [this] { ToggleLock([this] { return ToggleSelectionLengthLock(doc_, Context().document); }); });

    QGridLayout* loop = nullptr;
    layout->addWidget(GroupSection("Loop", FieldGroup::LoopStart, loop));
    catchLoopStart_ = MakeButton(PaneGlyph::CatchLoopStart, "Catch Loop Start");
    catchLoopEnd_ = MakeButton(PaneGlyph::CatchLoopEnd, "Catch Loop End");
    catchLoopStart_->setCheckable(false);
    catchLoopEnd_->setCheckable(false);
    loopMode_ = new QToolButton(content_);
    loopMode_->setText(Tr("Loop"));
    loopMode_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    loopMode_->setCheckable(true);
    loopMode_->setToolTip(Tr("Loop Mode (Num /)"));
    loopMode_->setFocusPolicy(Qt::NoFocus);
    loopPositionLock_ = MakeButton(PaneGlyph::LockPosition, "Lock Loop Position");
    loopLengthLock_ = MakeButton(PaneGlyph::LockLength, "Lock Loop Length");
    loop->addWidget(catchLoopStart_, 1, 0);
    loop->addWidget(catchLoopEnd_, 2, 0);
    loop->addWidget(loopMode_, 3, 0);
    loop->addWidget(loopPositionLock_, 1, 9);
    loop->addWidget(loopLengthLock_, 3, 9);
    connect(catchLoopStart_, &QToolButton::clicked, this, [this] { CatchLoop(true); });
    connect(catchLoopEnd_, &QToolButton::clicked, this, [this] { CatchLoop(false); });
    connect(loopPositionLock_, &QToolButton::clicked, this,
            [this] { ToggleLock([this] { return ToggleLoopPositionLock(doc_); }); });
    connect(loopLengthLock_, &QToolButton::clicked, this,
            [this] { ToggleLock([this] { return ToggleLoopLengthLock(doc_); }); });
    connect(loopMode_, &QToolButton::clicked, this, [this](bool on) {
        doc_.loopMode = on;
        emit LoopModeSwitched(on);
    });

    // The play location above the zoom buttons: one row of fields over two rows of buttons.
    auto* playAndZoom = new QWidget(content_);
    auto* column = new QVBoxLayout(playAndZoom);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
    column->addWidget(PlayLocationSection());
    column->addWidget(ZoomSection(), 0, Qt::AlignLeft);
    column->addStretch(1);
    layout->addWidget(playAndZoom);
    layout->addStretch(1);

    scroller_->setWidget(content_);
    setMinimumHeight(content_->minimumSizeHint().height());
    editor_ = new QLineEdit(content_);
    editor_->hide();
    editor_->installEventFilter(this);

    UpdatePlayLocation();
    UpdateSelectionFields();
    UpdateLoopFields();
    UpdateZoomSteps();
}

QLabel* CPaneWParam::MakeField(int field) {
    auto* label = new QLabel(content_);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(KindOfField(field) == FieldKind::Frames ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter);
    label->setIndent(kFieldIndent);
    // Room for the largest value the field can show, so that no value is ever cut.
    const QString widest = QString::fromStdString(WidestFieldText(KindOfField(field)));
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 2 * (label->frameWidth() + kFieldIndent) + 2);
    label->setCursor(Qt::IBeamCursor);
    label->installEventFilter(this);
    return label;
}

QToolButton* CPaneWParam::MakeButton(PaneGlyph glyph, const char* toolTip) {
    auto* button = new QToolButton(content_);
    button->setIcon(PaneGlyphIcon(glyph));
    button->setToolTip(Tr(toolTip));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QWidget* CPaneWParam::PlayLocationSection() {
    auto* section = new QWidget(content_);
    auto* grid = new QGridLayout(section);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(1);
    grid->setVerticalSpacing(1);
    grid->addWidget(new QLabel(Tr("Play location"), section), 0, 0, 1, 8);
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(fields_[std::size_t(FieldOf(FieldGroup::PlayLocation, kTimeKinds[i]))], 1, 2 * i);
        if (i < 3) grid->addWidget(Separator(kTimeSeparators[i], section), 1, 2 * i + 1);
    }
    grid->addWidget(fields_[std::size_t(FieldOf(FieldGroup::PlayLocation, FieldKind::Frames))], 1, 7);
    return section;
}

QWidget* CPaneWParam::GroupSection(const char* caption, FieldGroup first, QGridLayout*& grid) {
    auto* section = new QWidget(content_);
    grid = new QGridLayout(section);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(1);
    grid->setVerticalSpacing(1);
    grid->addWidget(new QLabel(Tr(caption), section), 0, 0);
    grid->addWidget(new QLabel(Tr("Samples"), section), 0, 1);
    grid->addWidget(new QLabel(Tr("Time"), section), 0, 2, 1, 7);
    for (int row = 0; row < 3; ++row) AddFieldRow(grid, row + 1, static_cast<FieldGroup>(int(first) + row));
    return section;
}

void CPaneWParam::AddFieldRow(QGridLayout* grid, int row, FieldGroup group) {
    grid->addWidget(fields_[std::size_t(FieldOf(group, FieldKind::Frames))], row, 1);
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(fields_[std::size_t(FieldOf(group, kTimeKinds[i]))], row, 2 + 2 * i);
        if (i < 3) grid->addWidget(Separator(kTimeSeparators[i], grid->parentWidget()), row, 3 + 2 * i);
    }
}

QWidget* CPaneWParam::ZoomSection() {
    auto* section = new QWidget(content_);
    auto* grid = new QGridLayout(section);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    auto* horizontalIn = MakeButton(PaneGlyph::ZoomIn, "Horizontal Zoom In(H)");
    auto* horizontalOut = MakeButton(PaneGlyph::ZoomOut, "Horizontal Zoom Out(G)");
    auto* verticalIn = MakeButton(PaneGlyph::ZoomIn, "Vertical Zoom In(Shift+H)");
    auto* verticalOut = MakeButton(PaneGlyph::ZoomOut, "Vertical Zoom Out(Shift+G)");
    for (QToolButton* button : {horizontalIn, horizontalOut, verticalIn, verticalOut}) button->setCheckable(false);
    horizontalStep_ = MakeStepField(kHorizontalSteps, true);
    verticalStep_ = MakeStepField(kVerticalSteps, false);
    grid->addWidget(horizontalIn, 0, 0);
    grid->addWidget(horizontalStep_, 0, 1);
    grid->addWidget(horizontalOut, 0, 2);
    grid->addWidget(verticalIn, 0, 3);
    grid->addWidget(verticalStep_, 0, 4);
    grid->addWidget(verticalOut, 0, 5);
    connect(horizontalIn, &QToolButton::clicked, this, [this] { Zoomed(ZoomHorizontalBy(doc_, 0.5, Context())); });
    connect(horizontalOut, &QToolButton::clicked, this, [this] { Zoomed(ZoomHorizontalBy(doc_, 2.0, Context())); });
    connect(verticalIn, &QToolButton::clicked, this, [this] { Zoomed(StepVerticalZoom(doc_, 1, Context())); });
    connect(verticalOut, &QToolButton::clicked, this, [this] { Zoomed(StepVerticalZoom(doc_, -1, Context())); });
    return section;
}

// A number that opens the list of its steps when clicked.
QToolButton* CPaneWParam::MakeStepField(int steps, bool horizontal) {
    auto* field = new QToolButton(content_);
    field->setPopupMode(QToolButton::InstantPopup);
    field->setToolButtonStyle(Qt::ToolButtonTextOnly);
    field->setFocusPolicy(Qt::NoFocus);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    auto* menu = new QMenu(field);
    for (int step = 1; step <= steps; ++step) {
        QAction* action = menu->addAction(QString::number(step));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, step, horizontal] {
            Zoomed(horizontal ? SetHorizontalStep(doc_, step, Context()) : SetVerticalStep(doc_, step, Context()));
        });
    }
    field->setMenu(menu);
    return field;
}

PaneContext CPaneWParam::Context() const { return context_ ? context_() : PaneContext{}; }

void CPaneWParam::UpdateGroups(FieldGroup first, FieldGroup last) {
    for (int field = int(first) * kFieldsPerGroup; field < (int(last) + 1) * kFieldsPerGroup; ++field)
        fields_[std::size_t(field)]->setText(QString::fromStdString(FieldText(doc_, field)));
}

void CPaneWParam::UpdateSelectionFields() {
    UpdateGroups(FieldGroup::SelectionStart, FieldGroup::SelectionLength);
    UpdateLockButtons();
}

void CPaneWParam::UpdateLoopFields() {
    UpdateGroups(FieldGroup::LoopStart, FieldGroup::LoopLength);
    loopMode_->setChecked(doc_.loopMode);
    UpdateLockButtons();
}

void CPaneWParam::UpdatePlayLocation() { UpdateGroups(FieldGroup::PlayLocation, FieldGroup::PlayLocation); }

void CPaneWParam::UpdateZoomSteps() {
    const int horizontal = HorizontalStepOf(doc_);
    const int vertical = VerticalStepOf(doc_.view.verticalZoom);
    horizontalStep_->setText(QString::number(horizontal));
    verticalStep_->setText(QString::number(vertical));
    const QList<QAction*> horizontalSteps = horizontalStep_->menu()->actions();
    for (int i = 0; i < horizontalSteps.size(); ++i) horizontalSteps[i]->setChecked(i + 1 == horizontal);
    const QList<QAction*> verticalSteps = verticalStep_->menu()->actions();
    for (int i = 0; i < verticalSteps.size(); ++i) verticalSteps[i]->setChecked(i + 1 == vertical);
}

void CPaneWParam::UpdateLockButtons() {
    SetPressed(selectionPositionLock_, PositionLockPressed(doc_.selectionLock));
    SetPressed(selectionLengthLock_, LengthLockPressed(doc_.selectionLock));
    SetPressed(loopPositionLock_, PositionLockPressed(doc_.loopLock));
    SetPressed(loopLengthLock_, LengthLockPressed(doc_.loopLock));
    catchLoopStart_->setEnabled(LoopCatchEnabled(doc_));
    catchLoopEnd_->setEnabled(LoopCatchEnabled(doc_));
}

void CPaneWParam::ToggleLock(const std::function<bool()>& toggle) {
    CloseEditor();
    toggle();
    // A click toggles the button by itself; the document's lock decides what it shows.
    UpdateLockButtons();
}

void CPaneWParam::CatchLoop(bool start) {
    CloseEditor();
    Guarded([&] {
        const Transport transport = Context().document;
        const LoopCatch caught = start ? CatchLoopStart(doc_, Snap(), transport) : CatchLoopEnd(doc_, Snap(), transport);
        if (!caught.changed) return;
        UpdateLoopFields();
        emit LoopEdited();
        if (caught.restartPlayback) emit PlaybackRestartRequested();
    });
}

void CPaneWParam::Zoomed(bool changed) {
    UpdateZoomSteps();
    if (changed) emit ZoomChanged();
}

bool CPaneWParam::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (HandleEditorKey(key->key(), key->modifiers())) return true;
        } else if (event->type() == QEvent::FocusOut) {
            CloseEditor();  // leaving the box drops what was typed
        }
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseButtonPress) {
        for (int field = 0; field < kParameterFieldCount; ++field) {
            if (watched == fields_[std::size_t(field)]) {
                OpenEditor(field);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool CPaneWParam::HandleEditorKey(int key, Qt::KeyboardModifiers modifiers) {
    const int field = editedField_;
    if (field < 0) return false;
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Period:
        case Qt::Key_Greater: {  // the full stop with Shift on common layouts
            const bool backward = key == Qt::Key_Backtab || key == Qt::Key_Greater || (modifiers & Qt::ShiftModifier);
            Commit();
            OpenEditor(NextField(field, backward, doc_.selectionLock, doc_.loopLock));
            return true;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Commit();
            CloseEditor();
            return true;
        case Qt::Key_Escape: CloseEditor(); return true;
        default: return false;
    }
}

void CPaneWParam::OpenEditor(int field) {
    if (IsFieldLocked(field, doc_.selectionLock, doc_.loopLock)) return;
    QLabel* label = fields_[std::size_t(field)];
    editedField_ = field;
    editor_->setFont(label->font());
    editor_->setAlignment(label->alignment());
    editor_->setGeometry(QRect(label->mapTo(content_, QPoint(0, 0)), label->size()));
    scroller_->ensureWidgetVisible(label);
    editor_->setText(label->text());
    editor_->show();
    editor_->raise();
    editor_->setFocus();
    editor_->selectAll();
}

void CPaneWParam::CloseEditor() {
    if (editedField_ < 0) return;
    editedField_ = -1;  // first: hiding the box takes its focus away
    editor_->hide();
}

void CPaneWParam::Commit() {
    const int field = editedField_;
    Guarded([&] {
        const FieldCommitContext context{Snap(), Context().document};
        const FieldGroup group = GroupOfField(field);
        switch (CommitField(doc_, field, editor_->text().toStdString(), context)) {
            case FieldCommit::Nothing:
            case FieldCommit::FieldsOnly: UpdateGroups(group, group); break;
            case FieldCommit::Selection:
                UpdateSelectionFields();
                emit SelectionEdited();
                break;
            case FieldCommit::Loop:
                UpdateLoopFields();
                emit LoopEdited();
                break;
            case FieldCommit::PlayLocation:
                UpdatePlayLocation();
                emit PlayLocationEdited();
                break;
        }
    });
}

void CPaneWParam::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The sideways scroll bar takes its height below the fields, never from them.
    const QSize needed = content_->minimumSizeHint();
    const bool scrolls = event->size().width() < needed.width();
    setMinimumHeight(needed.height() + (scrolls ? scroller_->horizontalScrollBar()->sizeHint().height() : 0));
}

void CPaneWParam::Guarded(const std::function<void()>& body) {
    try {
        body();
    } catch (const Error& e) {
        doc_.Host().Prompts().Message(e.Message());
    }
}

}  // namespace pelmora
