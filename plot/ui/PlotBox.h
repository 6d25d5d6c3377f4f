#pragma once
// The plot view of the Recorded Data page: a paint box that renders the PlotDocument
// whenever it is painted.
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>

class TPlotBox : public QWidget {
    Q_OBJECT
public:
    explicit TPlotBox(QWidget* parent = nullptr);

    // Renders the plot onto this view's canvas at the view's own resolution.
    void PlotBoxPaint();

    // Drawn over every fresh picture of the plot before it reaches the screen: the mouse
    // overlay, in exclusive-or mode (which needs the picture's pixels, hence the back buffer).
    std::function<void(QImage&)> Overlay;

signals:
    // After every rendering: whatever was drawn over the last picture is gone.
    void Painted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_; // back buffer, kept between paints
};
