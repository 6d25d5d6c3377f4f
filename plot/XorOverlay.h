#pragma once
// Draws the mouse overlay (hover circle, rubber band, climb lines) in exclusive-or mode onto a
// picture of the plot, so that drawing the same shape again restores the picture exactly.
#include "plot/Interaction.h"

#include <span>

class QImage;

namespace vemo {

// The picture must have no alpha channel (QImage::Format_RGB32); other formats are converted
// first, since exclusive-or drawing works only on opaque pixels.
void DrawXorShapes(QImage& picture, std::span<const XorShape> shapes);

} // namespace vemo
