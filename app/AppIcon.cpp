#include "app/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

void PaintAppIcon(QPainter& p, double s) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, s);
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(170, 210, 255));
    p.setBrush(sky);
    p.setPen(QPen(QColor(20, 40, 90), s / 32));
    p.drawRoundedRect(QRectF(s / 32, s / 32, s - s / 16, s - s / 16), s / 8, s / 8);

    // A flight: a steep climb, the apogee, and a slow descent.
    QPainterPath trace;
    trace.moveTo(s * 0.12, s * 0.85);
    trace.cubicTo(s * 0.25, s * 0.80, s * 0.30, s * 0.20, s * 0.42, s * 0.18);
    trace.cubicTo(s * 0.55, s * 0.16, s * 0.70, s * 0.55, s * 0.88, s * 0.80);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 220, 40), s / 12, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(trace);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 30, 30));
    p.drawEllipse(QPointF(s * 0.42, s * 0.18), s / 14, s / 14);
}

QPixmap AppIconPixmap(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    PaintAppIcon(p, size);
    return pm;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(AppIconPixmap(size));
    return icon;
}
