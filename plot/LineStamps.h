#pragma once
// A faster way to the same pixels for the many short strokes of a trace. The painter takes a
// fair while over each wide line, and a trace in view is thousands of short ones. Each short
// stroke shape (its length across and down) is drawn once by the painter itself into a
// scratch image, and its pixels are kept as spans; the strokes are then stamped straight into
// the target image. Where the stamp does not apply (another kind of canvas, a transform other
// than a whole number of device pixels a unit, a stroke near the clip edge or longer than the
// kept shapes) the painter draws the stroke.
#include <QLine>
#include <QRect>

#include <vector>

class QImage;
class QPainter;

namespace vemo {

// Draws the strokes with the painter's current pen (solid, square caps), pixel for pixel as
// painter.drawLines would, clipped to `clip` (the painter's clip rectangle).
void DrawStrokes(QPainter& painter, const std::vector<QLine>& strokes, const QRect& clip);

} // namespace vemo
