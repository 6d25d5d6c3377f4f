#include "plot/LineStamps.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>

namespace vemo {

namespace {

// The stroke shapes kept: up to this many pixels across and down.
constexpr int MaxAcross = 16;
constexpr int MaxDown = 64;

// In device pixels, relative to the stroke's start.
struct Span {
    int Dy, X, Length; // row and first column
};

struct Stamp {
    bool Made = false;
    std::vector<Span> Spans;
    int Left = 0, Right = 0, Top = 0, Bottom = 0; // pixel box
};

// The stamps of one pen width at one scale (device pixels a unit), each made the first time
// it is needed.
class StampSet {
public:
    StampSet(int width, int scale)
        : width_(width), scale_(scale), margin_(width + 2),
          stamps_(static_cast<std::size_t>((2 * MaxAcross + 1) * (2 * MaxDown + 1))),
          scratch_(scale * (2 * (MaxAcross + margin_) + 1), scale * (2 * (MaxDown + margin_) + 1),
                   QImage::Format_RGB32) {
        scratch_.setDevicePixelRatio(scale);
    }

    const Stamp* Get(int dx, int dy) {
        if (dx < -MaxAcross || dx > MaxAcross || dy < -MaxDown || dy > MaxDown) return nullptr;
        Stamp& s =
            stamps_[static_cast<std::size_t>((dx + MaxAcross) * (2 * MaxDown + 1) + dy + MaxDown)];
        if (!s.Made) Make(s, dx, dy);
        return &s;
    }

private:
    // The painter draws the stroke from the scratch image's centre, far from every edge, with
    // the same scale, and its pixels become the stamp.
    void Make(Stamp& s, int dx, int dy) {
        scratch_.fill(Qt::white);
        const QPoint start(MaxAcross + margin_, MaxDown + margin_);
        {
            QPainter p(&scratch_);
            p.setRenderHint(QPainter::Antialiasing, false);
            QPen pen(Qt::black);
            pen.setWidth(width_);
            pen.setCapStyle(Qt::SquareCap);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            const QLine line(start, start + QPoint(dx, dy));
            p.drawLines(&line, 1);
        }
        s.Left = s.Top = 1 << 20;
        s.Right = s.Bottom = -(1 << 20);
        const QRgb black = qRgb(0, 0, 0);
        const QPoint origin = start * scale_;
        for (int y = 0; y < scratch_.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(scratch_.constScanLine(y));
            for (int x = 0; x < scratch_.width();) {
                if (row[x] != black) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x < scratch_.width() && row[x] == black)
                    ++x;
                s.Spans.push_back({y - origin.y(), start - origin.x(), x - start});
                s.Left = std::min(s.Left, start - origin.x());
                s.Right = std::max(s.Right, x - 1 - origin.x());
                s.Top = std::min(s.Top, y - origin.y());
                s.Bottom = std::max(s.Bottom, y - origin.y());
            }
        }
        s.Made = true;
    }

    int width_, scale_, margin_;
    std::vector<Stamp> stamps_;
    QImage scratch_;
};

StampSet& StampsOf(int width, int scale) {
    static std::map<std::pair<int, int>, std::unique_ptr<StampSet>> sets;
    auto& set = sets[{width, scale}];
    if (!set) set = std::make_unique<StampSet>(width, scale);
    return *set;
}

// Device pixels a unit when the painter maps units onto the device by a whole number alone
// (1, or 2 at 200 % display scaling), else 0.
int WholeScaleOf(const QPainter& p) {
    const QTransform t = p.deviceTransform();
    if (t.type() > QTransform::TxScale || t.dx() != 0 || t.dy() != 0 || t.m11() != t.m22())
        return 0;
    const qreal s = t.m11();
    return s == 1 || s == 2 || s == 3 || s == 4 ? static_cast<int>(s) : 0;
}

// The image the painter draws into, when it draws plainly: a 32-bit image of its own, a whole
// number of pixels a unit, no smoothing, an opaque solid pen with square caps. Otherwise
// nothing: the painter then draws every stroke itself.
QImage* PlainImageOf(QPainter& p) {
    QPaintDevice* device = p.device();
    if (!device || device->devType() != QInternal::Image) return nullptr;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format f = image->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
        f != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    if (WholeScaleOf(p) == 0) return nullptr;
    if (p.testRenderHint(QPainter::Antialiasing) || p.opacity() != 1.0 ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    const QPen& pen = p.pen();
    if (pen.style() != Qt::SolidLine || pen.capStyle() != Qt::SquareCap || pen.width() < 1 ||
        pen.isCosmetic() || pen.brush().style() != Qt::SolidPattern || pen.color().alpha() != 255)
        return nullptr;
    // Writing into an image shared with a copy would change the copy too.
    if (!image->isDetached()) return nullptr;
    return image;
}

} // namespace

void DrawStrokes(QPainter& painter, const std::vector<QLine>& strokes, const QRect& clip) {
    QImage* image = strokes.empty() ? nullptr : PlainImageOf(painter);
    if (!image) {
        painter.drawLines(strokes.data(), static_cast<int>(strokes.size()));
        return;
    }
    const int scale = WholeScaleOf(painter);
    StampSet& stamps = StampsOf(painter.pen().width(), scale);
    const std::uint32_t value = painter.pen().color().rgba(); // opaque: the same premultiplied
    // Two units inside the clip, where the painter does not cut the line's geometry either;
    // in device pixels.
    const QRect device(clip.topLeft() * scale, clip.size() * scale);
    const QRect safe =
        device.intersected(image->rect()).adjusted(2 * scale, 2 * scale, -2 * scale, -2 * scale);
    uchar* bits = image->bits();
    const qsizetype stride = image->bytesPerLine();
    std::vector<QLine> rest;
    for (const QLine& l : strokes) {
        const Stamp* s = stamps.Get(l.dx(), l.dy());
        const int x = l.x1() * scale, y = l.y1() * scale;
        if (!s || x + s->Left < safe.left() || x + s->Right > safe.right() ||
            y + s->Top < safe.top() || y + s->Bottom > safe.bottom()) {
            rest.push_back(l);
            continue;
        }
        for (const Span& span : s->Spans) {
            auto* row = reinterpret_cast<std::uint32_t*>(bits + (y + span.Dy) * stride);
            std::fill_n(row + x + span.X, span.Length, value);
        }
    }
    if (!rest.empty()) painter.drawLines(rest.data(), static_cast<int>(rest.size()));
}

} // namespace vemo
