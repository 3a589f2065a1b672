#include "display/ui/PaneWForm.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "display/DocumentWaveform.h"
#include "display/ImageColumns.h"
#include "display/SampleColumns.h"
#include "display/ZoomRules.h"

namespace pelmora {

namespace {

const QColor kBackground(24, 28, 34);
const QColor kWave(120, 210, 140);
const QColor kMidline(70, 80, 90);
const QColor kSelection(60, 90, 150, 150);
const QColor kLoop(235, 170, 60);

// The columns to draw: from the image where it holds the zoom, else from the samples.
ImageColumns ColumnsFor(COLMDoc& doc, double zoom, std::uint32_t columns) {
    DocumentWaveform* waveform = WaveformOf(doc);
    if (waveform) {
        WaveformImage& image = waveform->Image();
        if (zoom >= image.framesPerPoint) {
            ImageColumns fromImage = ReadImageColumns(image, doc.Info(), zoom, 0, columns);
            if (fromImage.columns > 0) return fromImage;
        }
    }
    platform::File file;
    if (!file.Open(doc.WorkingPath(), platform::OpenMode::Read)) return {};
    return ReadSampleColumns(file, doc.Info(), zoom, 0, columns);
}

}  // namespace

CPaneWForm::CPaneWForm(COLMDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    setMinimumSize(100, 60);
    setMouseTracking(false);
}

double CPaneWForm::Zoom() const {
    const int width = std::max(1, this->width());
    return std::max(1.0, static_cast<double>(doc_.Info().frames) / width);
}

std::uint32_t CPaneWForm::FrameAt(int x) const {
    return FrameUnderPointer(0, Zoom(), x, doc_.Info().frames);
}

PaneContext CPaneWForm::Context() const { return {width(), Transport::Idle, false}; }

void CPaneWForm::Redraw() { update(); }

void CPaneWForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    const SoundInfo& info = doc_.Info();
    if (width() <= 0 || info.channels == 0) return;
    const double zoom = Zoom();
    const int strip = height() / info.channels;
    const double fullScale = std::ldexp(1.0, 8 * info.bytesPerSample - 1);

    if (doc_.selectionEnd > doc_.selectionStart) {
        const int x0 = static_cast<int>(doc_.selectionStart / zoom);
        const int x1 = std::max(x0 + 1, static_cast<int>(doc_.selectionEnd / zoom));
        for (int ch = info.channelFirst; ch < info.channelEnd; ++ch)
            painter.fillRect(x0, ch * strip, x1 - x0, strip, kSelection);
    }

    const ImageColumns columns = ColumnsFor(doc_, zoom, static_cast<std::uint32_t>(width()));
    for (std::uint16_t ch = 0; ch < info.channels; ++ch) {
        const int mid = ch * strip + strip / 2;
        painter.setPen(kMidline);
        painter.drawLine(0, mid, width(), mid);
        painter.setPen(kWave);
        auto y = [&](std::int32_t v) { return mid - static_cast<int>(v / fullScale * (strip / 2 - 1)); };
        int previousHigh = mid, previousLow = mid;
        for (std::uint32_t c = 0; c < columns.columns; ++c) {
            const ColumnExtent& e = columns.At(c, ch);
            if (e.low > e.high) continue;  // an empty point
            int top = y(e.high), bottom = y(e.low);
            // Connect the dots: a column reaches the previous one's extent.
            if (c > 0) {
                top = std::min(top, previousLow);
                bottom = std::max(bottom, previousHigh);
            }
            painter.drawLine(static_cast<int>(c), top, static_cast<int>(c), bottom);
            previousHigh = y(e.high);
            previousLow = y(e.low);
        }
    }

    if (info.loopEnd > info.loopStart) {
        painter.setPen(QPen(kLoop, 1, info.loopOn ? Qt::SolidLine : Qt::DashLine));
        for (std::uint32_t frame : {info.loopStart, info.loopEnd}) {
            const int x = static_cast<int>(frame / zoom);
            painter.drawLine(x, 0, x, height());
        }
    }
}

void CPaneWForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The image follows the zoom: at its own resolution or coarser it is built whole.
    if (DocumentWaveform* waveform = WaveformOf(doc_)) waveform->SetZoom(Zoom());
}

void CPaneWForm::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    anchor_ = FrameAt(static_cast<int>(event->position().x()));
    DragTo(static_cast<int>(event->position().x()));
}

void CPaneWForm::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) DragTo(static_cast<int>(event->position().x()));
}

void CPaneWForm::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_) return;
    DragTo(static_cast<int>(event->position().x()));
    dragging_ = false;
}

void CPaneWForm::DragTo(int x) {
    const std::uint32_t frame = FrameAt(x);
    doc_.selectionStart = std::min(anchor_, frame);
    doc_.selectionEnd = std::max(anchor_, frame);
    update();
    emit SelectionChanged();
}

}  // namespace pelmora
