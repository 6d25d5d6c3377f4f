#include "data/ui/StyleCombo.h"

#include "data/PlotDocument.h"
#include "data/QtColours.h"

#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace vemo {

namespace {

class StyleItemDelegate : public QStyledItemDelegate {
public:
    StyleItemDelegate(StyleKind kind, QObject* parent) : QStyledItemDelegate(parent), kind_(kind) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        DrawStyleItem(*painter, option.rect, kind_, index.row());
        // The item under the mouse gets a frame so the list stays usable; the item itself
        // is always black on white.
        if (option.state & (QStyle::State_Selected | QStyle::State_MouseOver)) {
            painter->setPen(option.palette.color(QPalette::Highlight));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        return {s.width(), std::max(s.height(), 18)};
    }

private:
    StyleKind kind_;
};

} // namespace

void DrawStyleItem(QPainter& p, const QRect& rect, StyleKind kind, int code) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(rect, Qt::white);
    p.setBrush(Qt::NoBrush);
    const int h = rect.height();
    const int cy = rect.top() + h / 2;
    if (kind == StyleKind::Line) {
        QPen pen(Qt::black);
        pen.setStyle(PenStyleOf(code));
        p.setPen(pen);
        if (code != LineNone) p.drawLine(rect.left() + 4, cy, rect.right() - 4, cy);
        p.restore();
        return;
    }
    p.setPen(QPen(Qt::black, 0));
    const int cx = rect.left() + rect.width() / 2;
    const int r4 = h / 4, r5 = h / 5;
    switch (code) {
    case PointDot:
        p.drawPoint(cx, cy);
        break;
    // The circle's and the square's box runs up to but not including (cx + r, cy + r): they
    // are 2 * r pixels wide, like the marks on the plot.
    case PointCircle:
        p.drawEllipse(cx - r4, cy - r4, 2 * r4 - 1, 2 * r4 - 1);
        break;
    case PointSquare:
        p.drawRect(cx - r5, cy - r5, 2 * r5 - 1, 2 * r5 - 1);
        break;
    case PointCross:
        p.drawLine(cx - r5, cy, cx + r5, cy);
        p.drawLine(cx, cy - r5, cx, cy + r5);
        break;
    case PointX:
        p.drawLine(cx - r5, cy - r5, cx + r5, cy + r5);
        p.drawLine(cx - r5, cy + r5, cx + r5, cy - r5);
        break;
    case PointDiamond: {
        const QPoint diamond[] = {{cx, cy - r4}, {cx - r4, cy}, {cx, cy + r4}, {cx + r4, cy}};
        p.drawPolygon(diamond, 4);
        break;
    }
    case PointTriangle: {
        const QPoint triangle[] = {{cx, cy - r4}, {cx - r5, cy + h / 6}, {cx + r5, cy + h / 6}};
        p.drawPolygon(triangle, 3);
        break;
    }
    default:
        break;
    }
    p.restore();
}

StyleCombo::StyleCombo(StyleKind kind, QWidget* parent) : QComboBox(parent), kind_(kind) {
    // The texts name the items for the keyboard and for tests; they are not drawn.
    if (kind == StyleKind::Line)
        for (const char* name : LineStyleNames)
            addItem(name);
    else
        for (const char* name : PointStyleNames)
            addItem(name);
    setItemDelegate(new StyleItemDelegate(kind, this));
    setMinimumWidth(90);
}

void StyleCombo::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0) DrawStyleItem(painter, field, kind_, currentIndex());
}

} // namespace vemo
