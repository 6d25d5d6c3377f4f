#include "data/ui/ColorSwatch.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

namespace vemo {

std::function<bool(QWidget*, QColor&)> ColorSwatch::ChooseColour = [](QWidget* parent,
                                                                      QColor& colour) {
    const QColor chosen = QColorDialog::getColor(colour, parent);
    if (!chosen.isValid()) return false;
    colour = chosen;
    return true;
};

ColorSwatch::ColorSwatch(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMinimumSize(40, 20);
    setCursor(Qt::PointingHandCursor);
}

void ColorSwatch::SetColour(Colour c) {
    colour_ = c & 0x00FFFFFF;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent* event) {
    if (isEnabled()) { // a disabled swatch stands for no set and shows no colour
        QPainter p(this);
        p.fillRect(contentsRect().adjusted(2, 2, -2, -2), ToQColor(colour_));
    }
    QFrame::paintEvent(event);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    QColor colour = ToQColor(colour_);
    if (ChooseColour && ChooseColour(this, colour)) SetColour(FromQColor(colour));
}

} // namespace vemo
