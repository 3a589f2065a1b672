#include "display/ui/PaneWForm.h"

#include <QCoreApplication>
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

namespace pelmora {

namespace {

const QColor kBackground(24, 28, 34);
const QColor kOverviewBackground(34, 38, 46);
const QColor kWave(120, 210, 140);
const QColor kOverviewWave(110, 160, 200);
const QColor kMidline(70, 80, 90);
const QColor kStripBorder(55, 60, 70);
const QColor kSelection(60, 90, 150, 150);
const QColor kLoop(235, 170, 60);
const QColor kCursor(250, 80, 80);
const QColor kRuler(222, 222, 218);

constexpr int kTimeRulerHeight = 24;
constexpr int kMarkerStripHeight = 7;
constexpr int kLevelRulerBaseWidth = 40;
constexpr int kLevelScrollSteps = 1000;  // per unit of full scale
constexpr int kAutoScrollMs = 50;

}  // namespace

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

// ---- Drawing ---------------------------------------------------------------------------------

void CPaneWForm::DrawChannels(QPainter& painter, const QRect& area, std::uint32_t first, double zoom,
                              bool mainView, double verticalZoom, double center) {
    const SoundInfo& info = doc_.Info();
    if (area.width() <= 0 || area.height() <= 0 || info.channels == 0) return;
    const ViewColumns view = ReadViewColumns(doc_, first, zoom, area.width(), mainView);
    const int strip = area.height() / info.channels;
    const double fullScale = std::ldexp(1.0, 8 * info.bytesPerSample - 1);
    for (std::uint16_t ch = 0; ch < info.channels; ++ch) {
        const QRect band(area.left(), area.top() + ch * strip, area.width(), strip);
        const int mid = band.top() + strip / 2;
        painter.setClipRect(band);
        painter.setPen(kMidline);
        painter.drawLine(band.left(), mid, band.right(), mid);
        painter.setPen(kStripBorder);
        if (ch > 0) painter.drawLine(band.left(), band.top(), band.right(), band.top());
        painter.setPen(mainView ? kWave : kOverviewWave);
        const double half = strip / 2.0 - 1.0;
        auto y = [&](std::int32_t value) {
            return mid - static_cast<int>(std::lround((value / fullScale - center) / verticalZoom * half));
        };
        int previousTop = 0, previousBottom = 0;
        for (std::uint32_t step = 0; step < view.extents.columns; ++step) {
            const ColumnExtent& e = view.extents.At(step, ch);
            if (e.low > e.high) continue;  // an empty point
            int top = y(e.high), bottom = y(e.low);
            const int x = area.left() + static_cast<int>(step) * view.columnsPerStep;
            if (x > area.right()) break;
            const int drawTop = step > 0 && doc_.view.connectDots ? std::min(top, previousBottom) : top;
            const int drawBottom = step > 0 && doc_.view.connectDots ? std::max(bottom, previousTop) : bottom;
            if (view.columnsPerStep > 1 && step > 0 && doc_.view.connectDots) {
                // A frame spans several columns: join it to the previous frame's level.
                painter.drawLine(x - view.columnsPerStep, previousTop, x, top);
            }
            if (drawTop == drawBottom) painter.drawPoint(x, drawTop);
            else painter.drawLine(x, drawTop, x, drawBottom);
            if (view.columnsPerStep > 1) painter.drawLine(x, top, std::min(area.right(), x + view.columnsPerStep - 1), top);
            previousTop = top;
            previousBottom = bottom;
        }
    }
    painter.setClipping(false);
}

void CPaneWForm::RenderWaveform() {
    const QRect wave = WaveformRect();
    waveformImage_ = QImage(std::max(1, wave.width()), std::max(1, wave.height()), QImage::Format_RGB32);
    waveformStale_ = false;
    DocumentWaveform* waveform = WaveformOf(doc_);
    if (waveformImage_.isNull()) {
        // No off-screen surface: the waveform is hidden rather than drawn half.
        if (waveform) waveform->ShowWaveform(false);
        return;
    }
    waveformImage_.fill(kBackground);
    if (waveform && !waveform->Image().waveformShown) return;
    QPainter painter(&waveformImage_);
    DrawChannels(painter, QRect(QPoint(0, 0), wave.size()), doc_.view.firstVisible, doc_.view.horizontalZoom,
                 true, doc_.view.verticalZoom, LevelCenter());
}

void CPaneWForm::RenderOverview() {
    const QRect strip = OverviewRect();
    overviewStale_ = false;
    if (strip.isEmpty()) return;
    overviewImage_ = QImage(strip.size(), QImage::Format_RGB32);
    overviewImage_.fill(kOverviewBackground);
    QPainter painter(&overviewImage_);
    DrawChannels(painter, QRect(QPoint(0, 0), strip.size()), 0, OverviewZoom(doc_, strip.width()), false, 1.0, 0.0);
}

void CPaneWForm::DrawTimeRuler(QPainter& painter) {
    const QRect ruler = TimeRulerRect();
    if (ruler.isEmpty()) return;
    painter.fillRect(ruler, kRuler);
    painter.setFont(QFont(font().family(), 7));
    for (const TimeTick& tick : TimeRulerTicks(doc_, ruler.width())) {
        const int x = ruler.left() + tick.x;
        const int top = tick.labelled ? ruler.top() + ruler.height() / 4 : ruler.bottom() - 3;
        painter.setPen(Qt::black);
        painter.drawLine(x, top, x, ruler.bottom());
        painter.setPen(Qt::white);
        painter.drawLine(x + 1, top, x + 1, ruler.bottom());
        if (tick.labelled) {
            painter.setPen(Qt::black);
            painter.drawText(x + 2, ruler.top() + ruler.height() / 2 + 1, QString::fromStdString(tick.label));
        }
    }
    // Loop markers as flags in the marker strip.
    const SoundInfo& info = doc_.Info();
    if (HasLoopMarkers(info.loopStart, info.loopEnd)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kLoop);
        const int base = ruler.bottom();
        for (auto [frame, direction] : {std::pair{info.loopStart, 1}, std::pair{info.loopEnd, -1}}) {
            const int x = XOfFrame(frame);
            if (x < ruler.left() - kMarkerStripHeight || x > ruler.right() + kMarkerStripHeight) continue;
            const QPoint flag[3] = {{x, base - kMarkerStripHeight}, {x + direction * kMarkerStripHeight, base}, {x, base}};
            painter.drawPolygon(flag, 3);
        }
        painter.setBrush(Qt::NoBrush);
    }
}

void CPaneWForm::DrawLevelRuler(QPainter& painter) {
    const QRect ruler = LevelRulerRect();
    if (ruler.isEmpty()) return;
    painter.fillRect(ruler, kRuler);
    painter.setFont(QFont(font().family(), 7));
    const int channels = std::max<int>(1, doc_.Info().channels);
    const int strip = ruler.height() / channels;
    const auto marks = LevelRulerMarks(RulerMode(doc_.view.levelRulerSetting), doc_.Info().bytesPerSample,
                                       doc_.view.verticalZoom, LevelCenter());
    for (int ch = 0; ch < channels; ++ch) {
        const int mid = ruler.top() + ch * strip + strip / 2;
        const double half = strip / 2.0 - 1.0;
        for (const LevelMark& mark : marks) {
            const int y = mid - static_cast<int>(std::lround(mark.height * half));
            painter.setPen(Qt::black);
            painter.drawLine(ruler.right() - 4, y, ruler.right(), y);
            const QFontMetrics metrics(painter.font());
            const int textY = std::clamp(y + metrics.ascent() / 2, ruler.top() + ch * strip + metrics.ascent(),
                                         ruler.top() + (ch + 1) * strip - 2);
            const QString label = QString::fromStdString(mark.label);
            painter.drawText(ruler.right() - 6 - metrics.horizontalAdvance(label), textY, label);
        }
        painter.setPen(Qt::gray);
        if (ch > 0) painter.drawLine(ruler.left(), ruler.top() + ch * strip, ruler.right(), ruler.top() + ch * strip);
    }
}

void CPaneWForm::DrawSelectionAndMarkers(QPainter& painter) {
    const QRect wave = WaveformRect();
    const SoundInfo& info = doc_.Info();
    const int channels = std::max<int>(1, info.channels);
    const int strip = wave.height() / channels;
    painter.setClipRect(wave);
    if (doc_.selectionEnd > doc_.selectionStart) {
        const int x0 = std::max(wave.left(), XOfFrame(doc_.selectionStart));
        const int x1 = std::min(wave.right() + 1, std::max(x0 + 1, XOfFrame(doc_.selectionEnd)));
        for (int ch = info.channelFirst; ch < info.channelEnd; ++ch)
            painter.fillRect(x0, wave.top() + ch * strip, x1 - x0, strip, kSelection);
    } else {
        // A point selection is the edit cursor.
        painter.setPen(QPen(kSelection.lighter(160), 1, Qt::DotLine));
        const int x = XOfFrame(doc_.selectionStart);
        for (int ch = info.channelFirst; ch < info.channelEnd; ++ch)
            painter.drawLine(x, wave.top() + ch * strip, x, wave.top() + (ch + 1) * strip - 1);
    }
    if (HasLoopMarkers(info.loopStart, info.loopEnd)) {
        painter.setPen(QPen(kLoop, 1, info.loopOn ? Qt::SolidLine : Qt::DashLine));
        for (std::uint32_t frame : {info.loopStart, info.loopEnd}) {
            const int x = XOfFrame(frame);
            painter.drawLine(x, wave.top(), x, wave.bottom());
        }
    }
    // The play cursor; at the end of the sound it stays one column inside.
    int cursorX = XOfFrame(doc_.playCursor);
    if (doc_.playCursor >= info.frames) --cursorX;
    if (cursorX >= wave.left() && cursorX <= wave.right()) {
        painter.setPen(kCursor);
        painter.drawLine(cursorX, wave.top(), cursorX, wave.bottom());
    }
    painter.setClipping(false);
}

void CPaneWForm::DrawOverviewFrame(QPainter& painter) {
    const QRect strip = OverviewRect();
    if (strip.isEmpty()) return;
    const ColumnSpan span = VisibleRangeInOverview(doc_, strip.width());
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(strip.left() + span.first, strip.top() + 1, std::max(1, span.last - span.first), strip.height() - 3);
    if (drag_ == DragKind::Band) {
        // The band is drawn inverted.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        const int left = std::min(bandFrom_, bandTo_), right = std::max(bandFrom_, bandTo_);
        painter.fillRect(strip.left() + left, strip.top(), std::max(1, right - left), strip.height(), Qt::white);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

void CPaneWForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRect wave = WaveformRect();
    if (wave.width() <= 0 || wave.height() <= 0) return;
    if (busy_ && busy_()) {
        if (!OverviewRect().isEmpty()) painter.drawImage(OverviewRect().topLeft(), overviewImage_);
        painter.drawImage(wave.topLeft(), waveformImage_);
        return;
    }
    if (drawingFailure_.isEmpty()) {
        try {
            if (waveformStale_ || waveformImage_.size() != wave.size()) RenderWaveform();
            if (overviewStale_ || overviewImage_.size() != OverviewRect().size()) RenderOverview();
        } catch (const Error& e) {
            drawingFailure_ = Tr(e.Message().c_str());
        } catch (const std::bad_alloc&) {
            drawingFailure_ = Tr(Text(StringId::MemoryError));
        }
    }
    if (!drawingFailure_.isEmpty()) {
        painter.setPen(Qt::red);
        painter.drawText(wave, Qt::AlignCenter, drawingFailure_);
        return;
    }
    if (!OverviewRect().isEmpty()) painter.drawImage(OverviewRect().topLeft(), overviewImage_);
    painter.drawImage(wave.topLeft(), waveformImage_);
    DrawTimeRuler(painter);
    DrawLevelRuler(painter);
    DrawSelectionAndMarkers(painter);
    DrawOverviewFrame(painter);
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

void CPaneWForm::ShowFailure(const QString& text) {
    QMessageBox::warning(this, QStringLiteral("Pelmora"), Tr(text.toUtf8().constData()));
}

}  // namespace pelmora
