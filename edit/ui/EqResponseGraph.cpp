#include "edit/ui/EqResponseGraph.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace pelmora {

namespace {

constexpr int kLabelWidth = 34;
constexpr int kMargin = 6;

EqDragKind DragKind(Qt::KeyboardModifiers keys) {
    if (keys & Qt::ShiftModifier) return EqDragKind::GainOnly;
    if (keys & Qt::AltModifier) return EqDragKind::FrequencyOnly;
    if (keys & Qt::ControlModifier) return EqDragKind::QOnly;
    return EqDragKind::GainAndFrequency;
}

}  // namespace

EqResponseGraph::EqResponseGraph(EqDialogModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setMinimumSize(260, 150);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QRect EqResponseGraph::PlotArea() const {
    return rect().adjusted(kLabelWidth, kMargin, -kMargin, -kMargin - fontMetrics().height());
}

EqGraphScale EqResponseGraph::Scale() const {
    const QRect plot = PlotArea();
    return EqGraphScale(plot.width(), plot.height(), model_.SampleRate());
}

void EqResponseGraph::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRect plot = PlotArea();
    const EqGraphScale scale = Scale();
    painter.fillRect(plot, Qt::white);

    QFont labels("Courier New");
    labels.setStyleHint(QFont::Monospace);
    labels.setPointSize(8);
    painter.setFont(labels);
    const QFontMetrics metrics(labels);

    // Gain lines every 10 dB, frequency lines every decade.
    painter.setPen(QColor(210, 210, 210));
    for (int db = -20; db <= 20; db += 10) {
        const int y = plot.top() + static_cast<int>(scale.YOf(db));
        painter.setPen(db == 0 ? QColor(150, 150, 150) : QColor(210, 210, 210));
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(palette().color(QPalette::WindowText));
        const QString text = db >= 0 ? QString::asprintf("+%2d", db) : QString::asprintf("-%2d", -db);
        painter.drawText(QRect(0, y - metrics.height() / 2, kLabelWidth - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    }
    for (double f = 100; f < EqFrequencyLimit(model_.SampleRate()); f *= 10) {
        const int x = plot.left() + static_cast<int>(scale.XOf(f));
        painter.setPen(QColor(210, 210, 210));
        painter.drawLine(x, plot.top(), x, plot.bottom());
        painter.setPen(palette().color(QPalette::WindowText));
        const QString text = f >= 1000 ? QString::number(f / 1000) + "k" : QString::number(f);
        painter.drawText(QRect(x - 30, plot.bottom() + 2, 60, metrics.height()), Qt::AlignHCenter | Qt::AlignTop, text);
    }

    // The curve, one point per column, from the coefficients the filter runs with.
    const EqCascade cascade = model_.Response();
    QPainterPath curve;
    for (int column = 0; column <= plot.width(); ++column) {
        const double db = EqResponseDb(cascade, scale.FrequencyAt(column), model_.SampleRate());
        const double y = plot.top() + std::clamp(scale.YOf(db), -1.0, plot.height() + 1.0);
        const QPointF point(plot.left() + column, y);
        if (column == 0) curve.moveTo(point);
        else curve.lineTo(point);
    }
    painter.save();
    painter.setClipRect(plot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 160), 1.5));
    painter.drawPath(curve);

    // The current band's handle, at its frequency and gain.
    const EqBand& band = model_.Bands()[static_cast<std::size_t>(model_.CurrentBand())];
    const QPointF handle(plot.left() + scale.XOf(band.frequency), plot.top() + scale.YOf(band.gain));
    painter.setPen(QPen(QColor(200, 0, 0), 1.5));
    painter.setBrush(model_.Dragging() ? QColor(200, 0, 0) : QColor(255, 255, 255));
    painter.drawRect(QRectF(handle.x() - 4, handle.y() - 4, 8, 8));
    painter.restore();

    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
}

void EqResponseGraph::mousePressEvent(QMouseEvent* event) {
    if (!PlotArea().contains(event->position().toPoint())) return;
    if (event->button() == Qt::RightButton) {
        emit BandButtonPressed(model_.CurrentBand());
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    // A widget keeps the mouse from a press to its release, so the drag goes on outside it.
    const QPointF p = event->position() - PlotArea().topLeft();
    model_.Press(p.x(), p.y());
    update();
}

void EqResponseGraph::mouseMoveEvent(QMouseEvent* event) {
    if (!model_.Dragging()) return;
    const QPointF p = event->position() - PlotArea().topLeft();
    if (model_.Move(p.x(), p.y(), DragKind(event->modifiers()), Scale())) {
        update();
        emit BandChanged();
    }
}

void EqResponseGraph::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !model_.Dragging()) return;
    model_.Release();
    update();
    emit BandChanged();
}

}  // namespace pelmora
