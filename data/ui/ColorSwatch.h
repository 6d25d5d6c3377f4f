#pragma once
// A colour swatch: shows one colour; a click opens the colour dialog preset to it and takes
// the chosen colour if the user confirms.
#include "data/PlotDocument.h"
#include "data/QtColours.h"

#include <QFrame>

#include <functional>

namespace vemo {

class ColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr);
    Colour GetColour() const { return colour_; }
    void SetColour(Colour c);

    // Asks the user for a colour starting from the given one; false when cancelled. Tests
    // replace it; by default it is the colour dialog.
    static std::function<bool(QWidget* parent, QColor& colour)> ChooseColour;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Colour colour_ = 0;
};

} // namespace vemo
