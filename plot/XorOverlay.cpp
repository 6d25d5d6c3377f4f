#include "plot/XorOverlay.h"

#include "plot/Renderer.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace vemo {

void DrawXorShapes(QImage& picture, std::span<const XorShape> shapes) {
    if (shapes.empty() || picture.isNull()) return;
    if (picture.format() != QImage::Format_RGB32)
        picture = picture.convertToFormat(QImage::Format_RGB32);

    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setBrush(Qt::NoBrush);
    const QColor colour = ToQColor(OverlayColour);
    for (const XorShape& s : shapes) {
        switch (s.What) {
        case XorShape::HoverCircle:
            p.setPen(QPen(colour, 2, Qt::SolidLine));
            p.drawEllipse(QRect(QPoint(s.X1, s.Y1), QPoint(s.X2, s.Y2)).normalized());
            break;
        case XorShape::RubberBand:
            p.setPen(QPen(colour, 1, Qt::DashLine));
            // Edges on the corner pixels themselves: x1 and x2, y1 and y2.
            p.drawRect(std::min(s.X1, s.X2), std::min(s.Y1, s.Y2), std::abs(s.X2 - s.X1),
                       std::abs(s.Y2 - s.Y1));
            break;
        case XorShape::ClimbLine:
            p.setPen(QPen(colour, 1, Qt::DashLine));
            p.drawLine(s.X1, s.Y1, s.X2, s.Y2);
            break;
        }
    }
}

} // namespace vemo
