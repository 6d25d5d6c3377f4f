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

} // namespace vemo
