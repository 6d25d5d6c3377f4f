#pragma once
#include <QIcon>
#include <QPixmap>

class QPainter;

// The program's icon: an altitude trace climbing over a blue sky, drawn at any size. The
// desktop icons (bitmaps and SVG) are made from the same drawing at build time.
void PaintAppIcon(QPainter& p, double size);
QPixmap AppIconPixmap(int size);
QIcon AppIcon();
