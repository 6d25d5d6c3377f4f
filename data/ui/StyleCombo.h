#pragma once
// Owner-drawn style lists: each item shows the line pattern or the point symbol it stands
// for, painted black on white, instead of its text.
#include <QComboBox>

class QPainter;

namespace vemo {

enum class StyleKind { Line, Point };

// Paints item `code` of a list of the given kind into rect.
void DrawStyleItem(QPainter& p, const QRect& rect, StyleKind kind, int code);

class StyleCombo : public QComboBox {
    Q_OBJECT
public:
    StyleCombo(StyleKind kind, QWidget* parent = nullptr);
    StyleKind Kind() const { return kind_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    StyleKind kind_;
};

} // namespace vemo
