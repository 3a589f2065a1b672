#include "display/ui/PaneWForm.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "base/ui/Translate.h"

#include "base/Error.h"
#include "display/DocumentWaveform.h"
#include "display/FrameSpan.h"
#include "display/Overview.h"
#include "display/Rulers.h"
#include "display/ViewColumns.h"
#include "display/ZoomRules.h"
#include "display/ui/PaneWFormLook.h"

namespace pelmora {

using namespace pane_look;

CPaneWForm::CPaneWForm(COLMDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    setMinimumSize(120, 80);
    setMouseTracking(false);
    horizontal_ = new QScrollBar(Qt::Horizontal, this);
    vertical_ = new QScrollBar(Qt::Vertical, this);
    horizontal_->setSingleStep(1);
    horizontal_->setPageStep(kScrollPageUnits);
    connect(horizontal_, &QScrollBar::valueChanged, this, &CPaneWForm::ScrollBarMoved);
    connect(vertical_, &QScrollBar::valueChanged, this, &CPaneWForm::LevelScrolled);
    autoScroll_.setInterval(kAutoScrollMs);
    connect(&autoScroll_, &QTimer::timeout, this, &CPaneWForm::AutoScrollTick);
}

PaneContext CPaneWForm::Context() const {
    PaneContext context{WaveformRect().width(), Transport::Idle, false};
    return transport_ ? transport_(context) : context;
}

void CPaneWForm::Redraw() {
    waveformStale_ = overviewStale_ = true;
    drawingFailure_.clear();
    LayOut();
    update();
}

void CPaneWForm::ImageRefined() {
    overviewStale_ = true;
    waveformStale_ = waveformStale_ || !NeedsSampleReads(doc_, doc_.view.horizontalZoom);
    update();
}

// ---- Layout ----------------------------------------------------------------------------------

QRect CPaneWForm::OverviewRect() const {
    if (!doc_.view.overviewShown) return {};
    return {0, 0, width() - vertical_->sizeHint().width(), kOverviewHeight};
}

QRect CPaneWForm::TimeRulerRect() const {
    if (!RulerShown(doc_.view.timeRulerSetting)) return {};
    const QRect wave = WaveformRect();
    return {wave.left(), OverviewRect().bottom() + 1, wave.width(), kTimeRulerHeight};
}

QRect CPaneWForm::LevelRulerRect() const {
    if (!RulerShown(doc_.view.levelRulerSetting)) return {};
    const QRect wave = WaveformRect();
    return {0, wave.top(), wave.left(), wave.height()};
}

QRect CPaneWForm::WaveformRect() const {
    const int top = OverviewRect().bottom() + 1 + (RulerShown(doc_.view.timeRulerSetting) ? kTimeRulerHeight : 0);
    int left = 0;
    if (RulerShown(doc_.view.levelRulerSetting)) {
        const double factor = LevelRulerWidthFactor(RulerMode(doc_.view.levelRulerSetting), doc_.Info().bytesPerSample);
        left = static_cast<int>(kLevelRulerBaseWidth * factor);
    }
    const int right = width() - vertical_->sizeHint().width();
    const int bottom = height() - horizontal_->sizeHint().height();
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

void CPaneWForm::LayOut() {
    const QRect wave = WaveformRect();
    horizontal_->setGeometry(wave.left(), wave.bottom() + 1, wave.width(), horizontal_->sizeHint().height());
    vertical_->setGeometry(wave.right() + 1, wave.top(), vertical_->sizeHint().width(), wave.height());
    SyncScrollBars();
}

void CPaneWForm::SyncScrollBars() {
    syncing_ = true;
    const std::uint64_t maximum = HorizontalScrollMaximum(doc_.Info().frames, doc_.view.horizontalZoom, WaveformRect().width());
    horizontal_->setRange(0, static_cast<int>(std::min<std::uint64_t>(maximum, INT32_MAX)));
    horizontal_->setValue(static_cast<int>(std::min<std::uint64_t>(ScrollPosition(doc_), INT32_MAX)));
    // Magnified levels scroll between the top and the bottom of full scale.
    const double v = doc_.view.verticalZoom;
    const int levelRange = v < 1.0 ? static_cast<int>((1.0 - v) * kLevelScrollSteps) : 0;
    vertical_->setRange(-levelRange, levelRange);
    vertical_->setPageStep(std::max(1, static_cast<int>(v * kLevelScrollSteps)));
    syncing_ = false;
}

void CPaneWForm::ScrollBarMoved(int value) {
    if (syncing_) return;
    if (ScrollToPosition(doc_, static_cast<std::uint64_t>(value), Context())) {
        waveformStale_ = true;
        update();
        emit ViewChanged();
    }
    SyncScrollBars();
}

void CPaneWForm::LevelScrolled(int) {
    if (syncing_) return;
    waveformStale_ = true;
    update();
}

double CPaneWForm::LevelCenter() const {
    return -static_cast<double>(vertical_->value()) / kLevelScrollSteps;
}

std::uint32_t CPaneWForm::FrameAt(int x) const { return FrameAtColumn(doc_, x - WaveformRect().left()); }

std::uint16_t CPaneWForm::ChannelAt(int y) const {
    const QRect wave = WaveformRect();
    const int channels = std::max<int>(1, doc_.Info().channels);
    const int strip = std::max(1, wave.height() / channels);
    return static_cast<std::uint16_t>(std::clamp((y - wave.top()) / strip, 0, channels - 1));
}

int CPaneWForm::XOfFrame(std::uint32_t frame) const {
    // Frames far outside the view land just beyond its edges, never past what an int holds.
    const double column = std::clamp(std::floor(ColumnOfFrame(doc_, frame)), -2.0, width() + 2.0);
    return WaveformRect().left() + static_cast<int>(column);
}

void CPaneWForm::ShowPlayCursor() {
    const PaneContext context = Context();
    if (context.document == Transport::RegionPlaying) return;
    if (doc_.view.scrollDuringPlayback && context.document != Transport::Recording &&
        (doc_.playCursor < doc_.view.firstVisible || doc_.playCursor >= doc_.view.lastVisible)) {
        const bool drawable = !NeedsSampleReads(doc_, doc_.view.horizontalZoom) || context.document == Transport::Idle;
        if (drawable && ScrollToFrame(doc_, doc_.playCursor, {context.width, Transport::Idle, false})) {
            waveformStale_ = true;
            SyncScrollBars();
            emit ViewChanged();
        }
    }
    update();
}

// ---- Size and first update -------------------------------------------------------------------

void CPaneWForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (started_) FitVisibleRangeToWidth(doc_, WaveformRect().width());
    waveformStale_ = overviewStale_ = true;
    LayOut();
}

void CPaneWForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (started_) return;
    started_ = true;
    ShowFromStart(doc_, WaveformRect().width());
    // The image follows the pane's zoom: at its resolution or coarser it is built whole.
    if (DocumentWaveform* waveform = WaveformOf(doc_)) waveform->SetZoom(doc_.view.horizontalZoom);
    Redraw();
}

// ---- Mouse -----------------------------------------------------------------------------------

void CPaneWForm::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const Transport transport = Context().document;
    if (drag_ != DragKind::None || transport != Transport::Idle) return;
    const bool left = event->button() == Qt::LeftButton, right = event->button() == Qt::RightButton;
    lastPointer_ = at;
    if (OverviewRect().contains(at) && left) {
        drag_ = DragKind::Band;
        bandFrom_ = bandTo_ = at.x() - OverviewRect().left();
        bandViewFirst_ = doc_.view.firstVisible;
        bandViewZoom_ = doc_.view.horizontalZoom;
        update();
        return;
    }
    const QRect ruler = TimeRulerRect();
    if (ruler.contains(at)) {
        const std::uint32_t frame = FrameAt(at.x());
        const bool inMarkerStrip = at.y() > ruler.bottom() - kMarkerStripHeight;
        if (right || (left && ((event->modifiers() & Qt::ControlModifier) || inMarkerStrip))) {
            loopMarker_ = LoopMarkerGesture::Press(doc_, right ? LoopMarker::End : LoopMarker::Start, frame,
                                                   at.x() - WaveformRect().left(), ColumnOfFrame(doc_, doc_.Info().loopStart),
                                                   transport);
            if (loopMarker_) {
                drag_ = DragKind::LoopMarker;
                update();
                emit LoopChanged();
            }
        } else if (left) {
            drag_ = DragKind::Cursor;
            PlaceCursorFromRuler(doc_, frame);
            update();
            emit PositionChanged();
        }
        return;
    }
    if (right && OnLoopMarker(at) && !loopMenuActions_.isEmpty()) {
        emit LoopMenuRequested();
        QMenu::exec(loopMenuActions_, event->globalPosition().toPoint(), nullptr, this);
        return;
    }
    if (WaveformRect().contains(at) && left) {
        selection_ = SelectionGesture::Press(doc_, FrameAt(at.x()), ChannelAt(at.y()),
                                             event->modifiers() & Qt::ShiftModifier, transport);
        if (!selection_) return;
        drag_ = DragKind::Selection;
        autoScroll_.start();
        update();
        emit SelectionChanged();
    }
}

void CPaneWForm::ContinueDrag(QPoint at) {
    lastPointer_ = at;
    switch (drag_) {
    case DragKind::Band:
        bandTo_ = std::clamp(at.x() - OverviewRect().left(), 0, std::max(0, OverviewRect().width() - 1));
        break;
    case DragKind::Cursor:
        PlaceCursorFromRuler(doc_, FrameAt(std::clamp(at.x(), WaveformRect().left(), WaveformRect().right() + 1)));
        emit PositionChanged();
        break;
    case DragKind::LoopMarker:
        loopMarker_->Drag(doc_, FrameAt(std::clamp(at.x(), WaveformRect().left(), WaveformRect().right() + 1)));
        emit LoopChanged();
        break;
    case DragKind::Selection: {
        const QRect wave = WaveformRect();
        const int x = std::clamp(at.x(), wave.left(), wave.right() + 1);
        selection_->Drag(doc_, FrameAt(x), ChannelAt(at.y()));
        emit SelectionChanged();
        break;
    }
    case DragKind::None:
        return;
    }
    update();
}

void CPaneWForm::AutoScrollTick() {
    if (drag_ != DragKind::Selection) {
        autoScroll_.stop();
        return;
    }
    // Past the left or right edge the view pages that way and the selection follows the edge.
    const QRect wave = WaveformRect();
    const int direction = lastPointer_.x() < wave.left() ? -1 : lastPointer_.x() > wave.right() ? 1 : 0;
    if (direction == 0) return;
    if (ScrollByUnits(doc_, direction * kScrollPageUnits, Context())) {
        waveformStale_ = true;
        SyncScrollBars();
        emit ViewChanged();
    }
    ContinueDrag(lastPointer_);
}

void CPaneWForm::mouseMoveEvent(QMouseEvent* event) {
    if (drag_ != DragKind::None) ContinueDrag(event->position().toPoint());
}

void CPaneWForm::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const DragKind kind = drag_;
    if (kind == DragKind::None) return;
    ContinueDrag(at);
    drag_ = DragKind::None;
    autoScroll_.stop();
    if (kind == DragKind::Selection) {
        const QRect wave = WaveformRect();
        const int x = std::clamp(at.x(), wave.left(), wave.right() + 1);
        try {
            selection_->Release(doc_, FrameAt(x), ChannelAt(at.y()), snapMode_ ? snapMode_() : SnapMode::None);
        } catch (const Error& e) {
            ShowFailure(QString::fromStdString(e.Message()));
        }
        selection_.reset();
        emit SelectionChanged();
        emit PositionChanged();
    } else if (kind == DragKind::Band) {
        // Applied only when the main view did not move meanwhile.
        if (doc_.view.firstVisible == bandViewFirst_ && doc_.view.horizontalZoom == bandViewZoom_ &&
            ApplyOverviewBand(doc_, bandFrom_, bandTo_, OverviewRect().width(), Context())) {
            waveformStale_ = true;
            SyncScrollBars();
            emit ViewChanged();
        }
    } else if (kind == DragKind::LoopMarker) {
        loopMarker_.reset();
        emit LoopChanged();
    }
    update();
}

void CPaneWForm::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0) horizontal_->setValue(horizontal_->value() - notches * horizontal_->singleStep() * 4);
}

bool CPaneWForm::OnLoopMarker(QPoint at) const {
    const SoundInfo& info = doc_.Info();
    if (!WaveformRect().contains(at) || !HasLoopMarkers(info.loopStart, info.loopEnd)) return false;
    return std::abs(at.x() - XOfFrame(info.loopStart)) <= kMarkerGrabPixels ||
           std::abs(at.x() - XOfFrame(info.loopEnd)) <= kMarkerGrabPixels;
}

void CPaneWForm::ShowFailure(const QString& text) {
    QMessageBox::warning(this, QStringLiteral("Pelmora"), Tr(text.toUtf8().constData()));
}

}  // namespace pelmora
