#pragma once
// Dashed traces one unit wide, written straight into the image the painter draws into. The
// painter takes a fair while over each dashed segment, and the speed traces in view are
// thousands of them. Where the painter does not draw plainly into a 32-bit image (a vector
// picture, a printer, a transform other than a whole number of device pixels a unit, a wider
// pen) it draws the polylines itself, so vector pictures keep a dashed path.
#include <QColor>
#include <QPoint>
#include <QRect>

#include <vector>

class QPainter;
class QPen;

namespace vemo {

// The dash pattern of a one-unit pen as the image writer draws it: pixels on, then off.
constexpr int DashOn = 4;
constexpr int DashOff = 2;

// One trace: its polylines in units, and its colour (opaque).
struct DashedTrace {
    QColor Colour;
    std::vector<std::vector<QPoint>> Lines;
};

// Draws the traces in order, each with `pen` in its own colour (the pen being dashed and
// `width` units wide), clipped to `clip` (the painter's clip rectangle, in units). In an image
// each polyline's pixels run as a line stepping one pixel at a time would, end point
// included, with the dash pattern running on along it one step a pixel, and a later trace
// covers an earlier one; each unit is a square of device pixels.
void DrawDashedTraces(QPainter& painter, const QPen& pen, const std::vector<DashedTrace>& traces,
                      const QRect& clip);

} // namespace vemo
