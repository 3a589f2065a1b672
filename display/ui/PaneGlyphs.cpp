#include "display/ui/PaneGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace pelmora {

namespace {

constexpr int kGlyphSize = 16;

// A loop bracket with a marker flag, facing right for the start and left for the end.
void DrawLoopPoint(QPainter& p, bool start) {
    const int x = start ? 4 : 11;
    const int toward = start ? 1 : -1;
    p.drawLine(x, 2, x, 14);
    p.drawLine(x, 14, x + 4 * toward, 14);
    QPainterPath flag;
    flag.moveTo(x, 2);
    flag.lineTo(x + 6 * toward, 4.5);
    flag.lineTo(x, 7);
    flag.closeSubpath();
    p.fillPath(flag, p.pen().color());
}

void DrawPadlock(QPainter& p) {
    p.drawArc(QRectF(4.5, 1.5, 7, 8), 0, 180 * 16);
    p.drawLine(QPointF(4.5, 5.5), QPointF(4.5, 8));
    p.drawLine(QPointF(11.5, 5.5), QPointF(11.5, 8));
    p.fillRect(QRectF(3, 8, 10, 7), p.pen().color());
}

// A double arrow under the padlock: the length is what stays.
void DrawLength(QPainter& p) {
    p.fillRect(QRectF(5, 6, 6, 4), p.pen().color());
    p.drawArc(QRectF(5.5, 1.5, 5, 5), 0, 180 * 16);
    p.drawLine(1, 13, 15, 13);
    p.drawLine(1, 13, 3, 11);
    p.drawLine(1, 13, 3, 15);
    p.drawLine(15, 13, 13, 11);
    p.drawLine(15, 13, 13, 15);
}

void DrawMagnifier(QPainter& p, bool in) {
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    p.drawLine(QPointF(3.5, 6), QPointF(8.5, 6));
    if (in) p.drawLine(QPointF(6, 3.5), QPointF(6, 8.5));
}

}  // namespace

QIcon PaneGlyphIcon(PaneGlyph glyph) {
    QPixmap pixmap(kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 1.5));
    switch (glyph) {
        case PaneGlyph::CatchLoopStart: DrawLoopPoint(p, true); break;
        case PaneGlyph::CatchLoopEnd: DrawLoopPoint(p, false); break;
        case PaneGlyph::LockPosition: DrawPadlock(p); break;
        case PaneGlyph::LockLength: DrawLength(p); break;
        case PaneGlyph::ZoomIn: DrawMagnifier(p, true); break;
        case PaneGlyph::ZoomOut: DrawMagnifier(p, false); break;
    }
    return QIcon(pixmap);
}

}  // namespace pelmora
