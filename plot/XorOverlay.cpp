#include "plot/XorOverlay.h"

#include "plot/Renderer.h"

#include <QImage>
#include <QPainter>

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
            p.drawRect(QRect(QPoint(s.X1, s.Y1), QPoint(s.X2, s.Y2)).normalized());
            break;
        case XorShape::ClimbLine:
            p.setPen(QPen(colour, 1, Qt::DashLine));
            p.drawLine(s.X1, s.Y1, s.X2, s.Y2);
            break;
        }
    }
}

} // namespace vemo
