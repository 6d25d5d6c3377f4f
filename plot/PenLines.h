#pragma once
// Pens and lines as the plot draws them: dash patterns that keep their size in inches at any
// resolution, and lines that include their first pixel but not their last one, whichever way
// they run.
#include <QColor>
#include <QPen>

class QPainter;

namespace vemo {

// A pen of the given colour, style and width with the given cap and mitred joins. Dotted and
// dashed patterns are lengthened by ppi / 96 (whole steps), so that a printed page shows the
// dashes the screen shows instead of a line that looks solid.
QPen PlotPen(const QColor& colour, Qt::PenStyle style, int width, Qt::PenCapStyle cap, int ppi);

// The horizontal or vertical line from (x1, y1) to (x2, y2) without its end point. A flat cap
// leaves out the higher end of a line, so a line running left or up is moved by one pixel to
// keep its start and drop its end. Any other line is drawn as it comes.
void LineExcludingEnd(QPainter& p, int x1, int y1, int x2, int y2);

// The line from (x1, y1) to (x2, y2) as drawLine draws it, in place at any display scale.
void UnitLine(QPainter& p, int x1, int y1, int x2, int y2);

// While it lives, what the pen draws with an odd width is moved by half a unit right and
// down, on a canvas whose units are not single device pixels (a 200 % screen). There such a
// line is centred on the edge of its units, one device pixel up and left of the same line in
// the 1x picture doubled; moved, it covers that doubled line. Lines of even width, fills and
// texts are in place already, and nothing moves at 1x. A flat-capped line that runs along an
// axis is moved across itself only (acrossX for a vertical one, acrossY for a horizontal
// one): its ends lie on unit edges already.
class UnitLineShift {
public:
    explicit UnitLineShift(QPainter& p, bool acrossX = true, bool acrossY = true);
    ~UnitLineShift();
    UnitLineShift(const UnitLineShift&) = delete;
    UnitLineShift& operator=(const UnitLineShift&) = delete;

private:
    QPainter& p_;
    QPointF by_;
};

} // namespace vemo
