#pragma once
// The model's colours and line styles as the painting code needs them. Header-only: only the
// code that paints (which links QtGui) includes it; the model itself stays QtCore only.
#include "data/PlotDocument.h"

#include <QColor>

namespace vemo {

// Colours are kept as 0x00BBGGRR with red in the low byte.
inline QColor ToQColor(Colour c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

inline Colour FromQColor(const QColor& c) {
    return static_cast<Colour>(c.red()) | static_cast<Colour>(c.green()) << 8 |
           static_cast<Colour>(c.blue()) << 16;
}

// The pen of a line style code; codes without a line (0 and unknown ones) draw nothing.
inline Qt::PenStyle PenStyleOf(int lineStyle) {
    switch (lineStyle) {
    case LineSolid: return Qt::SolidLine;
    case LineDot: return Qt::DotLine;
    case LineDash: return Qt::DashLine;
    case LineDashDot: return Qt::DashDotLine;
    case LineDashDotDot: return Qt::DashDotDotLine;
    default: return Qt::NoPen;
    }
}

} // namespace vemo
