#pragma once
// A paint device that keeps the texts drawn on it (string, font, base-line point) and nothing
// else, so tests can read what the renderer wrote, in which font and where.
#include "QtTestApp.h"
#include "plot/Renderer.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

#include <vector>

struct DrawnText {
    QString Text;
    QFont Font;
    QPointF Base; // the start of the base line
};

class TextRecorder : public QPaintDevice, private QPaintEngine {
public:
    TextRecorder(int width, int height, int ppi)
        : QPaintEngine(QPaintEngine::AllFeatures), width_(width), height_(height), ppi_(ppi) {}

    std::vector<DrawnText> Texts;

    QPaintEngine* paintEngine() const override {
        return const_cast<QPaintEngine*>(static_cast<const QPaintEngine*>(this));
    }
    // The cell height the font has on this device.
    int CellHeight(const QFont& f) const { return QFontMetrics(f, this).height(); }
    // The texts exactly equal to s.
    std::vector<DrawnText> Find(const QString& s) const {
        std::vector<DrawnText> out;
        for (const DrawnText& t : Texts)
            if (t.Text == s) out.push_back(t);
        return out;
    }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return width_;
        case PdmHeight:
            return height_;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return ppi_;
        case PdmWidthMM:
            return width_ * 254 / (10 * ppi_);
        case PdmHeightMM:
            return height_ * 254 / (10 * ppi_);
        case PdmNumColors:
            return 1 << 24;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        // Rotated text (the altitude axis label) arrives in the painter's own coordinates.
        Texts.push_back({item.text(), item.font(), painter()->transform().map(p)});
    }
    Type type() const override { return QPaintEngine::User; }

    int width_, height_, ppi_;
};

// Renders doc as the export does (700 x 350 at 100 per inch by default) and returns the texts.
inline std::vector<DrawnText> RenderedTexts(const vemo::PlotDocument& doc, int width = 700,
                                            int height = 350, int ppi = 100,
                                            TextRecorder* keep = nullptr) {
    EnsureQtApp();
    TextRecorder local(width, height, ppi);
    TextRecorder& device = keep ? *keep : local;
    QPainter p(&device);
    vemo::RenderTarget t;
    t.Canvas = &p;
    t.PpiX = t.PpiY = ppi;
    t.Width = double(width) / ppi;
    t.Height = double(height) / ppi;
    vemo::RenderPlot(t, doc);
    p.end();
    return device.Texts;
}
