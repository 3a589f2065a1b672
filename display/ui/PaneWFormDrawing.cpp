// The waveform pane's drawing: channels, rulers, selection, loop markers and the overview frame.

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "base/Error.h"
#include "base/ui/Translate.h"
#include "display/DocumentWaveform.h"
#include "display/FrameSpan.h"
#include "display/Overview.h"
#include "display/Rulers.h"
#include "display/ViewColumns.h"
#include "display/ui/PaneWForm.h"
#include "display/ui/PaneWFormLook.h"

namespace pelmora {

using namespace pane_look;

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
        // One vertical line per column from its highest to its lowest value; with "Connect dots"
        // a column's line reaches the previous column's range. Where a frame spans several
        // columns, its later columns repeat its own range, so a frame is one step.
        auto column = [&](int x, int top, int bottom) {
            if (top == bottom) painter.drawPoint(x, top);
            else painter.drawLine(x, top, x, bottom);
        };
        int previousTop = 0, previousBottom = 0;
        for (std::uint32_t step = 0; step < view.extents.columns; ++step) {
            const ColumnExtent& e = view.extents.At(step, ch);
            if (e.low > e.high) continue;  // an empty point
            const int top = y(e.high), bottom = y(e.low);
            const int x = area.left() + static_cast<int>(step) * view.columnsPerStep;
            if (x > area.right()) break;
            const bool joined = step > 0 && doc_.view.connectDots;
            column(x, joined ? std::min(top, previousBottom) : top, joined ? std::max(bottom, previousTop) : bottom);
            const int last = std::min(area.right(), x + view.columnsPerStep - 1);
            for (int repeat = x + 1; repeat <= last; ++repeat) column(repeat, top, bottom);
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
        // Up to the column that holds the selection's last frame, though that column also holds
        // frames after it: the last column of a sound is covered by Select All.
        const double endColumn = std::clamp(std::ceil(ColumnOfFrame(doc_, doc_.selectionEnd)), 0.0, wave.width() + 1.0);
        const int x1 = std::min(wave.right() + 1, std::max(x0 + 1, wave.left() + static_cast<int>(endColumn)));
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

}  // namespace pelmora
