#include "plot/SvgClipDevice.h"

#include <QBuffer>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSvgGenerator>

#include <optional>
#include <vector>

namespace vemo {

// Replays every call on a painter of the current run's SVG generator; a change of the clip
// starts a new run.
class SvgClipEngine : public QPaintEngine {
public:
    SvgClipEngine(QSize size, int ppi, QString title, QString description)
        : QPaintEngine(AllFeatures), size_(size), ppi_(ppi), title_(std::move(title)),
          description_(std::move(description)) {}

    bool begin(QPaintDevice*) override {
        runs_.clear();
        StartRun(std::nullopt);
        return true;
    }
    bool end() override {
        if (!runs_.empty()) runs_.back()->painter.end();
        return true;
    }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& s) override {
        const QPaintEngine::DirtyFlags f = s.state();
        if (f & DirtyPen) pen_ = s.pen();
        if (f & DirtyBrush) brush_ = s.brush();
        if (f & DirtyBrushOrigin) brushOrigin_ = s.brushOrigin();
        if (f & DirtyFont) font_ = s.font();
        if (f & DirtyBackground) background_ = s.backgroundBrush();
        if (f & DirtyBackgroundMode) backgroundMode_ = s.backgroundMode();
        if (f & DirtyTransform) transform_ = s.transform();
        if (f & DirtyHints) hints_ = s.renderHints();
        if (f & DirtyOpacity) opacity_ = s.opacity();
        if (f & DirtyCompositionMode) composition_ = s.compositionMode();
        if (f & (DirtyClipRegion | DirtyClipPath | DirtyClipEnabled)) {
            std::optional<QRectF> clip;
            const bool on = s.isClipEnabled() && s.clipOperation() != Qt::NoClip;
            if (on && (f & DirtyClipPath))
                clip = transform_.map(s.clipPath()).boundingRect();
            else if (on && (f & DirtyClipRegion))
                clip = transform_.mapRect(QRectF(s.clipRegion().boundingRect()));
            else if (on && !(f & (DirtyClipPath | DirtyClipRegion)))
                clip = runs_.back()->clip;
            if (clip != runs_.back()->clip) {
                runs_.back()->painter.end();
                StartRun(clip);
            }
        }
        Apply(runs_.back()->painter);
    }

    void drawPath(const QPainterPath& path) override { P().drawPath(path); }
    void drawPolygon(const QPointF* points, int n, PolygonDrawMode mode) override {
        switch (mode) {
        case PolylineMode: {
            // A trace becomes one path element rather than a polyline.
            QPainterPath path;
            path.addPolygon(QPolygonF(QList<QPointF>(points, points + n)));
            StrokePath(path);
            break;
        }
        case ConvexMode:
            P().drawConvexPolygon(points, n);
            break;
        default:
            P().drawPolygon(points, n, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
            break;
        }
    }
    void drawPolygon(const QPoint* points, int n, PolygonDrawMode mode) override {
        std::vector<QPointF> f(points, points + n);
        drawPolygon(f.data(), n, mode);
    }
    void drawLines(const QLineF* lines, int n) override {
        QPainterPath path;
        for (int i = 0; i < n; ++i) {
            path.moveTo(lines[i].p1());
            path.lineTo(lines[i].p2());
        }
        StrokePath(path);
    }
    void drawLines(const QLine* lines, int n) override {
        std::vector<QLineF> f(lines, lines + n);
        drawLines(f.data(), n);
    }
    void drawRects(const QRectF* rects, int n) override { P().drawRects(rects, n); }
    void drawRects(const QRect* rects, int n) override { P().drawRects(rects, n); }
    void drawEllipse(const QRectF& r) override { P().drawEllipse(r); }
    void drawEllipse(const QRect& r) override { P().drawEllipse(r); }
    void drawPoints(const QPointF* points, int n) override { P().drawPoints(points, n); }
    void drawPoints(const QPoint* points, int n) override { P().drawPoints(points, n); }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
        P().drawPixmap(r, pm, sr);
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                   Qt::ImageConversionFlags flags) override {
        P().drawImage(r, image, sr, flags);
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        QPainter& painter = P();
        painter.setFont(item.font());
        painter.drawText(p, item.text());
        painter.setFont(font_);
    }

    QByteArray Svg() const;

private:
    struct Run {
        QByteArray bytes;
        QBuffer buffer{&bytes};
        QSvgGenerator svg;
        QPainter painter;
        std::optional<QRectF> clip;
    };

    QPainter& P() { return runs_.back()->painter; }

    // Lines are stroked only, whatever the brush.
    void StrokePath(const QPainterPath& path) {
        QPainter& p = P();
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setBrush(brush_);
    }

    void StartRun(std::optional<QRectF> clip) {
        auto run = std::make_unique<Run>();
        run->clip = clip;
        run->buffer.open(QIODevice::WriteOnly);
        run->svg.setOutputDevice(&run->buffer);
        run->svg.setResolution(ppi_);
        run->svg.setSize(size_);
        run->svg.setViewBox(QRect(QPoint(0, 0), size_));
        run->svg.setTitle(title_);
        run->svg.setDescription(description_);
        run->painter.begin(&run->svg);
        Apply(run->painter);
        runs_.push_back(std::move(run));
    }

    void Apply(QPainter& p) const {
        p.setTransform(transform_);
        p.setPen(pen_);
        p.setBrush(brush_);
        p.setBrushOrigin(brushOrigin_);
        p.setFont(font_);
        p.setBackground(background_);
        p.setBackgroundMode(backgroundMode_);
        p.setRenderHints(hints_);
        p.setOpacity(opacity_);
        p.setCompositionMode(composition_);
    }

    QSize size_;
    int ppi_;
    QString title_, description_;
    std::vector<std::unique_ptr<Run>> runs_;
    QPen pen_;
    QBrush brush_;
    QPointF brushOrigin_;
    QFont font_;
    QBrush background_;
    Qt::BGMode backgroundMode_ = Qt::TransparentMode;
    QTransform transform_;
    QPainter::RenderHints hints_;
    qreal opacity_ = 1.0;
    QPainter::CompositionMode composition_ = QPainter::CompositionMode_SourceOver;
};

namespace {

// The drawing of one generator's output: what lies inside its outermost group.
QByteArray Body(const QByteArray& svg) {
    const qsizetype open = svg.indexOf("<g ");
    const qsizetype start = open < 0 ? -1 : svg.indexOf('>', open);
    const qsizetype stop = svg.lastIndexOf("</g>");
    if (start < 0 || stop <= start) return {};
    return svg.mid(start + 1, stop - start - 1);
}

QByteArray Number(qreal v) {
    return QByteArray::number(v, 'g', 10);
}

} // namespace

QByteArray SvgClipEngine::Svg() const {
    if (runs_.empty()) return {};
    const QByteArray& first = runs_.front()->bytes;
    const qsizetype open = first.indexOf("<g ");
    const qsizetype openEnd = open < 0 ? -1 : first.indexOf('>', open);
    if (openEnd < 0) return first;
    QByteArray head = first.left(open);
    const QByteArray group = first.mid(open, openEnd - open + 1);
    // Clip paths are not part of the tiny profile the generator announces.
    head.replace("version=\"1.2\" baseProfile=\"tiny\"", "version=\"1.1\"");

    QByteArray defs, body;
    int clips = 0;
    for (const auto& run : runs_) {
        const QByteArray drawing = Body(run->bytes);
        if (drawing.trimmed().isEmpty()) continue;
        if (run->clip) {
            const QByteArray id = "clip" + QByteArray::number(++clips);
            const QRectF& r = *run->clip;
            defs += "<clipPath id=\"" + id + "\"><rect x=\"" + Number(r.x()) + "\" y=\"" +
                    Number(r.y()) + "\" width=\"" + Number(r.width()) + "\" height=\"" +
                    Number(r.height()) + "\"/></clipPath>\n";
            body += "<g clip-path=\"url(#" + id + ")\">\n" + group + drawing + "</g>\n</g>\n";
        } else {
            body += group + drawing + "</g>\n";
        }
    }
    head.replace("<defs>\n</defs>", "<defs>\n" + defs + "</defs>");
    return head + body + "</svg>\n";
}

SvgClipDevice::SvgClipDevice(QSize size, int ppi, QString title, QString description)
    : size_(size), ppi_(ppi), engine_(std::make_unique<SvgClipEngine>(size, ppi, std::move(title),
                                                                      std::move(description))) {}

SvgClipDevice::~SvgClipDevice() = default;

QPaintEngine* SvgClipDevice::paintEngine() const {
    return engine_.get();
}

QByteArray SvgClipDevice::Svg() const {
    return engine_->Svg();
}

int SvgClipDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return size_.width();
    case PdmHeight:
        return size_.height();
    case PdmWidthMM:
        return qRound(size_.width() * 25.4 / ppi_);
    case PdmHeightMM:
        return qRound(size_.height() * 25.4 / ppi_);
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return ppi_;
    case PdmNumColors:
        return 0xffffff;
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    default:
        return QPaintDevice::metric(metric);
    }
}

} // namespace vemo
