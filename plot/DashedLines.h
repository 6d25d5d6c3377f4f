#pragma once
// Dashed polylines of one unit's width, written straight into the image the painter draws
// into. The painter takes a fair while over each dashed segment, and a speed trace in view is
// thousands of them. Where the painter does not draw plainly into a 32-bit image (a vector
// picture, a printer, a transform other than a whole number of device pixels a unit) it draws
// the polylines itself, so vector pictures keep a dashed path.
#include <QPoint>
#include <QRect>

#include <vector>

class QPainter;

namespace vemo {

// The dash pattern of a one-unit pen as the image writer draws it: pixels on, then off.
constexpr int DashOn = 4;
constexpr int DashOff = 2;

// Draws the polylines with the painter's current pen (dashed, width 1 unit, opaque colour),
// clipped to `clip` (the painter's clip rectangle, in units). In an image each polyline's
// pixels run as a line stepping one pixel at a time would, end point included, and the dash
// pattern runs on along the polyline, one step a pixel; each unit is a square of device pixels.
void DrawDashedPolylines(QPainter& painter, const std::vector<std::vector<QPoint>>& lines,
                         const QRect& clip);

} // namespace vemo
