#pragma once
// A paint device that keeps only the texts drawn on it: string, font, base-line start.
#include "QtTestApp.h"
#include "plot/Renderer.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

#include <cmath>
#include <vector>

struct DrawnText {
    QString Text;
    QFont Font;
    QPointF Base;
    double Scale = 1.0; // of the painter, from the font's pixels to the canvas's
};

class TextRecorder : public QPaintDevice, private QPaintEngine {
public:
    // 700 x 350 at 100 pixels per inch: the default export.
    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}

    std::vector<DrawnText> Texts;

    QPaintEngine* paintEngine() const override {
        return const_cast<QPaintEngine*>(static_cast<const QPaintEngine*>(this));
    }
    const DrawnText* Find(const QString& s) const {
        for (const DrawnText& t : Texts)
            if (t.Text == s) return &t;
        return nullptr;
    }

protected:
    int metric(PaintDeviceMetric m) const override {
        if (m == PdmWidth) return 700;
        if (m == PdmHeight) return 350;
        if (m == PdmDpiX || m == PdmDpiY || m == PdmPhysicalDpiX || m == PdmPhysicalDpiY)
            return 100;
        if (m == PdmDevicePixelRatio) return 1;
        if (m == PdmDevicePixelRatioScaled) return static_cast<int>(devicePixelRatioFScale());
        return m == PdmDepth ? 32 : QPaintDevice::metric(m);
    }

private:
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QTransform m = painter()->transform();
        Texts.push_back({item.text(), item.font(), m.map(p), std::hypot(m.m11(), m.m12())});
    }
    Type type() const override { return QPaintEngine::User; }
};

// Renders doc as the export does onto the recorder.
inline void RecordTexts(const vemo::PlotDocument& doc, TextRecorder& device,
                        const vemo::PlotSwitches& switches = {}) {
    EnsureQtApp();
    QPainter p(&device);
    vemo::RenderTarget t{.Canvas = &p, .PpiX = 100, .PpiY = 100, .Width = 7.0, .Height = 3.5};
    t.Switches = switches;
    vemo::RenderPlot(t, doc);
}
