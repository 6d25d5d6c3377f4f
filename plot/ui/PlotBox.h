#pragma once
// The plot view of the Recorded Data page: a paint box that renders the PlotDocument
// whenever it is painted.
#include "plot/Renderer.h"

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

    // Renders the plot into the back buffer: ratio device pixels to each unit of the view
    // (2 at 200 % display scaling), drawn in the view's own units, so that lines and text
    // are as sharp as the screen allows. The overlay is drawn over it.
    const QImage& RenderPicture(qreal ratio);

    // The document changed: the plot is painted afresh, and whatever was drawn over the old
    // picture is forgotten at once (OverlayWiped).
    void RepaintPlot();

    // Drawn over every fresh picture of the plot before it reaches the screen: the mouse
    // overlay, in exclusive-or mode (which needs the picture's pixels, hence the back buffer).
    std::function<void(QImage&)> Overlay;

    // The display switches the view renders with; the main window keeps them as the "Edit
    // Plot Info" dialog and the settings set them.
    vemo::PlotSwitches Switches;

signals:
    // After every rendering.
    void Painted();
    // A repaint of the changed plot, or a picture of another size: nothing drawn over the
    // last picture is on the view any more.
    void OverlayWiped();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_; // back buffer, kept between paints
};
