#pragma once
// Text on the plot canvas: opaque text cells placed by their top-left corner, and font heights
// given as the height of the text cell in pixels.
#include <QColor>
#include <QFont>
#include <QString>

class QPainter;

namespace vemo {

// Makes f ask for the face the plot's text heights are made for: Liberation Sans, which has
// Arial's metrics, or Arial itself; where neither is installed the system's nearest sans-serif
// face draws.
void UsePlotFace(QFont& f);

// Sets the painter's font so that its text cell (ascent plus descent) is exactly px pixels
// high: the font asks for a fractional size, which the three functions below draw and measure.
void SetFontHeight(QPainter& p, int px);

int TextWidth(const QPainter& p, const QString& s);
int TextHeight(const QPainter& p);

// Draws s with its cell's top-left corner at (x, y); the cell is first filled with back.
void TextOut(QPainter& p, int x, int y, const QString& s, const QColor& fore, const QColor& back);

} // namespace vemo
