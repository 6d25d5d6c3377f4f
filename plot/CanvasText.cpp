#include "plot/CanvasText.h"

#include <QFontMetrics>
#include <QPainter>

namespace vemo {

void UsePlotFace(QFont& f) {
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    f.setStyleHint(QFont::SansSerif);
}

void SetFontHeight(QPainter& p, int px) {
    const int target = px < 1 ? 1 : px;
    QFont f = p.font();
    int size = target;
    f.setPixelSize(size);
    // The pixel size of a font is its em height; the cell adds the leading above and below.
    while (size > 1 && QFontMetrics(f, p.device()).height() > target)
        f.setPixelSize(--size);
    p.setFont(f);
}

int TextWidth(const QPainter& p, const QString& s) {
    return QFontMetrics(p.font(), p.device()).horizontalAdvance(s);
}

int TextHeight(const QPainter& p) {
    return QFontMetrics(p.font(), p.device()).height();
}

void TextOut(QPainter& p, int x, int y, const QString& s, const QColor& fore, const QColor& back) {
    if (s.isEmpty()) return;
    const QFontMetrics fm(p.font(), p.device());
    p.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), back);
    const QPen old = p.pen();
    p.setPen(fore);
    p.drawText(x, y + fm.ascent(), s);
    p.setPen(old);
}

} // namespace vemo
