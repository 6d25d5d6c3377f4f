#pragma once
#include <QIcon>
#include <QPixmap>

// The program's icon: an altitude trace climbing over a blue sky, drawn at any size.
QPixmap AppIconPixmap(int size);
QIcon AppIcon();
