#pragma once
// The plot view of the Recorded Data page: a paint box that renders the PlotDocument
// whenever it is painted.
#include <QPoint>
#include <QWidget>

class TPlotBox : public QWidget {
    Q_OBJECT
public:
    explicit TPlotBox(QWidget* parent = nullptr);

    // Centre of the hover circle as last drawn by the mouse interaction. Every rendering sets
    // it to (-10, -10), so the next erase of the circle falls outside the view.
    QPoint HoverPoint{-10, -10};

    // Renders the plot onto this view's canvas at the view's own resolution.
    void PlotBoxPaint();

signals:
    // After every rendering: whatever was drawn over the last picture is gone.
    void Painted();

protected:
    void paintEvent(QPaintEvent* event) override;
};
