#include "plot/DashedLines.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vemo {

namespace {

constexpr int Period = DashOn + DashOff;
constexpr int TileWide = 16; // pixels: 64 bytes of a 32-bit image's row, one cache line

// Device pixels a unit when the painter draws the one-unit dashed pen plainly into a 32-bit
// image of its own, a whole number of them a unit and nothing moved; else 0.
int PlainScale(QPainter& p, const QPen& pen) {
    QPaintDevice* device = p.device();
    if (!device || device->devType() != QInternal::Image) return 0;
    const auto* image = static_cast<QImage*>(device);
    const QImage::Format f = image->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
        f != QImage::Format_ARGB32_Premultiplied)
        return 0;
    const QTransform t = p.deviceTransform();
    const qreal s = t.m11();
    if (t.type() > QTransform::TxScale || t.dx() != 0 || t.dy() != 0 || t.m22() != s ||
        !(s == 1 || s == 2 || s == 3 || s == 4))
        return 0;
    if (pen.style() != Qt::DashLine || pen.width() != 1 || pen.isCosmetic()) return 0;
    if (p.testRenderHint(QPainter::Antialiasing) || p.opacity() != 1.0 ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return 0;
    // Writing into an image shared with a copy would change the copy too.
    return image->isDetached() ? static_cast<int>(s) : 0;
}

// The pixels of the traces that the dash pattern leaves on and the clip keeps, marked with the
// number of the trace that reached each last, in tiles 16 pixels wide; then written tile by
// tile, row by row. The traces run down the columns, and the stride of an image's rows sends
// a column's pixels to a few sets of the cache, which they soon fall out of; and the traces
// of many sets lie over each other. A tile's row is one cache line, written once.
class TraceMarks {
public:
    TraceMarks(const QRect& clip, int unitsWide, int unitsHigh)
        : rows_(static_cast<std::size_t>(unitsHigh)), tiles_((unitsWide + TileWide - 1) / TileWide) {
        const QRect c = clip.intersected(QRect(0, 0, unitsWide, unitsHigh));
        left_ = c.left(), right_ = c.right(), top_ = c.top(), bottom_ = c.bottom();
        Marks().resize(rows_ * static_cast<std::size_t>(tiles_) * TileWide); // new ones clear
        first_.assign(static_cast<std::size_t>(tiles_), 1 << 30);
        last_.assign(static_cast<std::size_t>(tiles_), -1);
    }

    void Trace(const std::vector<std::vector<QPoint>>& lines, std::uint8_t mark) {
        mark_ = mark;
        for (const std::vector<QPoint>& line : lines) {
            if (line.empty()) continue;
            phase_ = 0;
            column_ = NoColumn;
            for (std::size_t k = 1; k < line.size(); ++k)
                Segment(line[k - 1], line[k]);
            const QPoint end = line.back();
            if (end.x() != column_ || end.y() < drawnTop_ || end.y() > drawnBottom_)
                Pixel(end.x(), end.y(), phase_ < DashOn);
        }
    }

    // Writes the marked pixels, each a square of `scale` device pixels a side in the colour
    // values[mark], and clears the marks.
    void Write(QImage& image, int scale, const std::vector<std::uint32_t>& values) {
        std::uint8_t* marks = Marks().data();
        uchar* bits = image.bits();
        const qsizetype stride = image.bytesPerLine();
        for (int t = 0; t < tiles_; ++t) {
            const auto ut = static_cast<std::size_t>(t);
            for (int y = first_[ut]; y <= last_[ut]; ++y) {
                std::uint8_t* m = marks + (ut * rows_ + static_cast<std::size_t>(y)) * TileWide;
                std::uint64_t any[2];
                std::memcpy(any, m, sizeof any);
                if ((any[0] | any[1]) == 0) continue;
                for (int r = 0; r < scale; ++r) {
                    auto* row = reinterpret_cast<std::uint32_t*>(bits + (y * scale + r) * stride) +
                                TileWide * t * scale;
                    for (int i = 0; i < TileWide; ++i)
                        if (m[i] != 0) std::fill_n(row + i * scale, scale, values[m[i]]);
                }
                std::memset(m, 0, TileWide);
            }
            first_[ut] = 1 << 30;
            last_[ut] = -1;
        }
    }

private:
    static constexpr int NoColumn = -(1 << 30);

    // One set of marks for every drawing: at rest all clear.
    static std::vector<std::uint8_t>& Marks() {
        static std::vector<std::uint8_t> marks;
        return marks;
    }

    // The pixels from a up to, but not including, b, one step a pixel.
    void Segment(QPoint a, QPoint b) {
        if (a.x() == b.x()) {
            Vertical(a.x(), a.y(), b.y());
            return;
        }
        column_ = NoColumn;
        const int dx = std::abs(b.x() - a.x()), dy = -std::abs(b.y() - a.y());
        const int sx = a.x() < b.x() ? 1 : -1, sy = a.y() < b.y() ? 1 : -1;
        int x = a.x(), y = a.y(), err = dx + dy;
        while (x != b.x() || y != b.y()) {
            Pixel(x, y, phase_ < DashOn);
            phase_ = phase_ + 1 == Period ? 0 : phase_ + 1;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x += sx;
            if (e2 <= dx) err += dx, y += sy;
        }
    }

    // Rows from y0 toward y1 (not included) in column x. Vertical segments one after another
    // in one column go over the same rows again and again (a column of many samples goes to
    // its lowest and highest point and back): only the rows not yet drawn are drawn.
    void Vertical(int x, int y0, int y1) {
        if (x != column_) {
            column_ = x;
            drawnTop_ = 1 << 30;
            drawnBottom_ = -(1 << 30);
        }
        const int step = y1 > y0 ? 1 : -1, n = std::abs(y1 - y0);
        const int top = std::min(y0, y1 - step), bottom = std::max(y0, y1 - step);
        // The rows above and below those drawn before, each with its place in the pattern.
        auto rows = [&](int from, int to) {
            from = std::max(from, top_);
            to = std::min(to, bottom_);
            if (from > to || x < left_ || x > right_) return;
            // Walked the way the segment runs, the place in the pattern moves on a step a row.
            const int first = step > 0 ? from : to;
            Rows(x, first, step, to - from + 1, (phase_ + (first - y0) * step) % Period);
            Span(x, from, to);
        };
        if (drawnTop_ > drawnBottom_) {
            rows(top, bottom);
        } else {
            rows(top, std::min(bottom, drawnTop_ - 1));
            rows(std::max(top, drawnBottom_ + 1), bottom);
        }
        drawnTop_ = std::min(drawnTop_, top);
        drawnBottom_ = std::max(drawnBottom_, bottom);
        phase_ = (phase_ + n) % Period;
    }

    std::uint8_t* At(int x, int y) {
        return Marks().data() +
               (static_cast<std::size_t>(x / TileWide) * rows_ + static_cast<std::size_t>(y)) *
                   TileWide +
               x % TileWide;
    }

    void Pixel(int x, int y, bool on) {
        if (!on || x < left_ || x > right_ || y < top_ || y > bottom_) return;
        *At(x, y) = mark_;
        Span(x, y, y);
    }

    // `count` rows of column x from row y on, a row further each step `dir` (+1 down, -1 up),
    // the first at place `at` of the pattern; all inside the clip.
    void Rows(int x, int y, int dir, int count, int at) {
        std::uint8_t* p = At(x, y);
        const std::ptrdiff_t step = dir * TileWide;
        while (count > 0) {
            const bool on = at < DashOn;
            const int n = std::min((on ? DashOn : Period) - at, count);
            if (on)
                for (int k = 0; k < n; ++k)
                    p[k * step] = mark_;
            p += n * step;
            count -= n;
            at = on ? DashOn : 0;
        }
    }

    // Rows from..to of column x hold marks.
    void Span(int x, int from, int to) {
        const auto t = static_cast<std::size_t>(x / TileWide);
        first_[t] = std::min(first_[t], from);
        last_[t] = std::max(last_[t], to);
    }

    std::size_t rows_;
    int tiles_;
    int left_ = 0, right_ = -1, top_ = 0, bottom_ = -1; // the clip, in units
    std::vector<int> first_, last_;                      // each tile's marked rows
    std::uint8_t mark_ = 0;
    int phase_ = 0;
    int column_ = NoColumn, drawnTop_ = 0, drawnBottom_ = 0; // rows drawn by the last verticals
};

} // namespace

void DrawDashedTraces(QPainter& painter, const QPen& pen, const std::vector<DashedTrace>& traces,
                      const QRect& clip) {
    const int scale = PlainScale(painter, pen);
    if (scale == 0) {
        for (const DashedTrace& trace : traces) {
            QPen own = pen;
            own.setColor(trace.Colour);
            painter.setPen(own);
            for (const auto& line : trace.Lines)
                painter.drawPolyline(line.data(), static_cast<int>(line.size()));
        }
        return;
    }
    auto* image = static_cast<QImage*>(painter.device());
    TraceMarks marks(clip, image->width() / scale, image->height() / scale);
    std::vector<std::uint32_t> values(1); // mark 0: no trace
    for (const DashedTrace& trace : traces) {
        if (values.size() == 256) { // every mark in use: write those made so far
            marks.Write(*image, scale, values);
            values.resize(1);
        }
        values.push_back(trace.Colour.rgba());
        marks.Trace(trace.Lines, static_cast<std::uint8_t>(values.size() - 1));
    }
    marks.Write(*image, scale, values);
}

} // namespace vemo
