#include "plot/PenLines.h"

#include <QPainter>

#include <algorithm>

namespace vemo {

QPen PlotPen(const QColor& colour, Qt::PenStyle style, int width, Qt::PenCapStyle cap, int ppi) {
    QPen pen(colour);
    pen.setStyle(style);
    pen.setWidth(width);
    pen.setCapStyle(cap);
    pen.setJoinStyle(Qt::MiterJoin);
    const int stretch = std::max(ppi / 96, 1);
    if (stretch > 1 && style != Qt::SolidLine && style != Qt::NoPen) {
        QList<qreal> pattern = pen.dashPattern();
        for (qreal& length : pattern)
            length *= stretch;
        pen.setDashPattern(pattern);
    }
    return pen;
}

void LineExcludingEnd(QPainter& p, int x1, int y1, int x2, int y2) {
    if (y1 == y2 && x2 < x1) {
        p.drawLine(x2 + 1, y1, x1 + 1, y1);
    } else if (x1 == x2 && y2 < y1) {
        p.drawLine(x1, y2 + 1, x1, y1 + 1);
    } else {
        p.drawLine(x1, y1, x2, y2);
    }
}

} // namespace vemo
