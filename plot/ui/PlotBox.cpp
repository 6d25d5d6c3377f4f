#include "plot/ui/PlotBox.h"

#include "data/PlotDocument.h"

#include <QPainter>

#include <cmath>

using namespace vemo;

TPlotBox::TPlotBox(QWidget* parent) : QWidget(parent) {
    setObjectName("PlotBox");
    setAttribute(Qt::WA_OpaquePaintEvent); // the rendering covers every pixel
    setMouseTracking(true);
}

void TPlotBox::paintEvent(QPaintEvent*) {
    PlotBoxPaint();
}

void TPlotBox::RepaintPlot() {
    emit OverlayWiped();
    update();
}

const QImage& TPlotBox::RenderPicture(qreal ratio) {
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (picture_.size() != pixels || picture_.devicePixelRatio() != ratio) {
        // The overlay's pixels belonged to a picture of another size.
        if (!picture_.isNull()) emit OverlayWiped();
        picture_ = QImage(pixels, QImage::Format_RGB32);
        picture_.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
        picture_.setDotsPerMeterY(static_cast<int>(std::lround(logicalDpiY() / 0.0254)));
        // The painter then maps the view's units onto device pixels.
        picture_.setDevicePixelRatio(ratio);
    }
    QPainter p(&picture_);
    p.setFont(font());
    if (!PlotDoc) {
        p.fillRect(rect(), palette().window());
    } else {
        RenderTarget t;
        t.Canvas = &p;
        t.PpiX = logicalDpiX() > 0 ? logicalDpiX() : 96;
        t.PpiY = logicalDpiY() > 0 ? logicalDpiY() : 96;
        t.Width = double(width()) / t.PpiX;
        t.Height = double(height()) / t.PpiY;
        t.Colour = true;
        t.Screen = true;
        t.Switches = Switches;
        RenderPlot(t, *PlotDoc);
        // The placement is width / ppi inches, which can come back one pixel short of the
        // view: paint any strip the rendering left.
        const PlotLayout l = ComputeLayout(t.PpiX, t.PpiY, t.Width, t.Height, 0, 0);
        const QColor back = ToQColor(PlotDoc->BGColor);
        if (l.W < width()) p.fillRect(l.W, 0, width() - l.W, height(), back);
        if (l.H < height()) p.fillRect(0, l.H, width(), height() - l.H, back);
    }
    p.end();
    if (PlotDoc && Overlay) Overlay(picture_);
    return picture_;
}

void TPlotBox::PlotBoxPaint() {
    RenderPicture(devicePixelRatioF());
    QPainter view(this);
    view.drawImage(0, 0, picture_);
    view.end();
    emit Painted();
}
