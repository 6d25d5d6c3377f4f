#pragma once
// Renders a document onto a QImage the way the export does and reads its pixels.
#include "QtTestApp.h"
#include "plot/Renderer.h"

#include <QImage>
#include <QPainter>

#include <cmath>

struct RenderOptions {
    int Width = 700; // pixels
    int Height = 350;
    int Ppi = 100;
    bool Colour = true;
    bool Literal = false;
    bool Screen = false;
    vemo::PlotSwitches Switches{};
};

inline QImage RenderToImage(const vemo::PlotDocument& doc, RenderOptions o = {}) {
    EnsureQtApp();
    QImage img(o.Width, o.Height, QImage::Format_RGB32);
    const int dpm = static_cast<int>(std::lround(o.Ppi / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::magenta); // anything the renderer leaves untouched stands out
    QPainter p(&img);
    vemo::RenderTarget t;
    t.Canvas = &p;
    t.PpiX = t.PpiY = o.Ppi;
    t.Width = double(o.Width) / o.Ppi;
    t.Height = double(o.Height) / o.Ppi;
    t.Colour = o.Colour;
    t.Screen = o.Screen;
    t.LiteralLines = o.Literal;
    t.Switches = o.Switches;
    vemo::RenderPlot(t, doc);
    p.end();
    return img;
}

inline QColor Pixel(const QImage& img, int x, int y) {
    return QColor(img.pixel(x, y));
}

// Text is drawn with anti-aliasing; a pixel "shows" a colour when it is that colour blended
// with a white background by at least half.
inline bool Shows(const QColor& px, const QColor& c) {
    auto blend = [](int target, double f) { return target * f + 255 * (1 - f); };
    for (double f = 0.5; f <= 1.001; f += 0.05) {
        if (std::abs(px.red() - blend(c.red(), f)) < 12 &&
            std::abs(px.green() - blend(c.green(), f)) < 12 &&
            std::abs(px.blue() - blend(c.blue(), f)) < 12)
            return true;
    }
    return false;
}

inline int CountShowing(const QImage& img, const QRect& r, const QColor& c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Shows(Pixel(img, x, y), c)) ++n;
    return n;
}

inline int CountExactly(const QImage& img, const QRect& r, const QColor& c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Pixel(img, x, y) == c) ++n;
    return n;
}
