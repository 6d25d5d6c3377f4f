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

namespace {

// The shift of UnitLineShift for one line along an axis, or any other line.
UnitLineShift ShiftFor(QPainter& p, int x1, int y1, int x2, int y2) {
    const bool flat = p.pen().capStyle() == Qt::FlatCap;
    return UnitLineShift(p, !(flat && y1 == y2), !(flat && x1 == x2));
}

} // namespace

void LineExcludingEnd(QPainter& p, int x1, int y1, int x2, int y2) {
    const UnitLineShift shift = ShiftFor(p, x1, y1, x2, y2);
    if (y1 == y2 && x2 < x1) {
        p.drawLine(x2 + 1, y1, x1 + 1, y1);
    } else if (x1 == x2 && y2 < y1) {
        p.drawLine(x1, y2 + 1, x1, y1 + 1);
    } else {
        p.drawLine(x1, y1, x2, y2);
    }
}

void UnitLine(QPainter& p, int x1, int y1, int x2, int y2) {
    const UnitLineShift shift = ShiftFor(p, x1, y1, x2, y2);
    p.drawLine(x1, y1, x2, y2);
}

UnitLineShift::UnitLineShift(QPainter& p, bool acrossX, bool acrossY) : p_(p) {
    const QPen& pen = p.pen();
    const QTransform& device = p.deviceTransform();
    const bool shifted = pen.style() != Qt::NoPen && !pen.isCosmetic() && pen.width() % 2 == 1 &&
                         (device.m11() != 1.0 || device.m22() != 1.0);
    if (shifted) by_ = QPointF(acrossX ? 0.5 : 0.0, acrossY ? 0.5 : 0.0);
    if (!by_.isNull()) p_.translate(by_);
}

UnitLineShift::~UnitLineShift() {
    if (!by_.isNull()) p_.translate(-by_);
}

} // namespace vemo
