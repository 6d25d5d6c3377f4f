#include "plot/CanvasText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace vemo {

namespace {

// A face's whole pixel sizes give text cells in steps that skip heights (Liberation Sans at
// 11 pixels has a 12-pixel cell, at 12 pixels a 14-pixel one), so the plot's fonts carry the
// exact em size the cell asks for, fractional, and their glyphs are drawn at the nearest whole
// size scaled to it. The cell is the face's ascent plus descent in proportion to that size.

// Proportions of one pixel of em, measured at a size large enough to make them exact.
struct PerEm {
    double Cell = 1.0;
    double Ascent = 1.0;
};

constexpr int ReferencePixels = 1024;

PerEm Proportions(QFont f, QPaintDevice* device) {
    f.setPixelSize(ReferencePixels);
    const QFontMetricsF m(f, device);
    const double cell = m.height() / ReferencePixels;
    return {cell > 0.0 ? cell : 1.0, m.ascent() / ReferencePixels};
}

int DpiY(const QPainter& p) {
    const int dpi = p.device() ? p.device()->logicalDpiY() : 0;
    return dpi > 0 ? dpi : 96;
}

// The em size of the painter's font in pixels, fractional.
double EmPixels(const QPainter& p) {
    const QFont& f = p.font();
    if (f.pixelSize() > 0) return f.pixelSize();
    return f.pointSizeF() * DpiY(p) / 72.0;
}

// The font the glyphs are drawn in (the nearest whole pixel size) and the scale from it to
// the exact size.
struct DrawnFont {
    QFont Font;
    double Scale = 1.0;
};

DrawnFont Drawn(const QPainter& p) {
    const double em = EmPixels(p);
    const int whole = std::max(1, static_cast<int>(std::lround(em)));
    DrawnFont d{p.font(), em > 0.0 ? em / whole : 1.0};
    d.Font.setPixelSize(whole);
    return d;
}

} // namespace

void UsePlotFace(QFont& f) {
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    f.setStyleHint(QFont::SansSerif);
}

void SetFontHeight(QPainter& p, int px) {
    const int target = px < 1 ? 1 : px;
    QFont f = p.font();
    const double em = target / Proportions(f, p.device()).Cell;
    f.setPointSizeF(em * 72.0 / DpiY(p));
    p.setFont(f);
}

namespace {

// Whole pixels that take in the last glyph's advance, which the opaque cell covers.
int WidthIn(const QPainter& p, const DrawnFont& d, const QString& s) {
    const double w = QFontMetricsF(d.Font, p.device()).horizontalAdvance(s) * d.Scale;
    return static_cast<int>(std::ceil(w - 1e-6));
}

} // namespace

int TextWidth(const QPainter& p, const QString& s) {
    return WidthIn(p, Drawn(p), s);
}

int TextHeight(const QPainter& p) {
    return static_cast<int>(std::lround(EmPixels(p) * Proportions(p.font(), p.device()).Cell));
}

void TextOut(QPainter& p, int x, int y, const QString& s, const QColor& fore, const QColor& back) {
    if (s.isEmpty()) return;
    const double em = EmPixels(p);
    const PerEm per = Proportions(p.font(), p.device());
    const DrawnFont d = Drawn(p);
    p.fillRect(QRect(x, y, WidthIn(p, d, s), static_cast<int>(std::lround(em * per.Cell))), back);
    p.save();
    p.setPen(fore);
    p.setFont(d.Font);
    p.translate(x, y + std::lround(em * per.Ascent));
    if (d.Scale != 1.0) p.scale(d.Scale, d.Scale);
    p.drawText(0, 0, s);
    p.restore();
}

} // namespace vemo
