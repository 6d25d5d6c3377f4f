#include "plot/DashedLines.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace vemo {

namespace {

// Device pixels a unit when the painter draws a one-unit dashed pen plainly into a 32-bit
// image of its own, a whole number of them a unit and nothing moved; else 0.
int PlainScale(QPainter& p) {
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
    const QPen& pen = p.pen();
    if (pen.style() != Qt::DashLine || pen.width() != 1 || pen.isCosmetic() ||
        pen.brush().style() != Qt::SolidPattern || pen.color().alpha() != 255)
        return 0;
    if (p.testRenderHint(QPainter::Antialiasing) || p.opacity() != 1.0 ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return 0;
    // Writing into an image shared with a copy would change the copy too.
    return image->isDetached() ? static_cast<int>(s) : 0;
}

// Sets the pixels of the polylines that the dash pattern leaves on and the clip keeps.
class DashWriter {
public:
    DashWriter(QImage& image, int scale, const QRect& clip, std::uint32_t value)
        : bits_(image.bits()), stride_(image.bytesPerLine()), scale_(scale), value_(value) {
        const QRect c = clip.intersected(QRect(0, 0, image.width() / scale, image.height() / scale));
        left_ = c.left(), right_ = c.right(), top_ = c.top(), bottom_ = c.bottom();
    }

    void Polyline(const std::vector<QPoint>& line) {
        phase_ = 0;
        column_ = NoColumn;
        for (std::size_t k = 1; k < line.size(); ++k)
            Segment(line[k - 1], line[k]);
        const QPoint end = line.back();
        if (end.x() != column_ || end.y() < drawnTop_ || end.y() > drawnBottom_)
            Pixel(end.x(), end.y(), phase_ < DashOn);
    }

private:
    static constexpr int NoColumn = -(1 << 30);

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
            phase_ = phase_ + 1 == DashOn + DashOff ? 0 : phase_ + 1;
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
        const int top = std::min(y0, y0 + step * (n - 1)), bottom = std::max(y0, y0 + step * (n - 1));
        // The rows above and below those drawn before, each with its place in the pattern.
        auto rows = [&](int from, int to) {
            from = std::max(from, top_);
            to = std::min(to, bottom_);
            if (from > to || x < left_ || x > right_) return;
            // Walked the way the segment runs, the place in the pattern moves on a step a row.
            const int first = step > 0 ? from : to;
            constexpr int period = DashOn + DashOff;
            Rows(x, first, step, to - from + 1, (phase_ + (first - y0) * step) % period);
        };
        if (drawnTop_ > drawnBottom_) {
            rows(top, bottom);
        } else {
            rows(top, std::min(bottom, drawnTop_ - 1));
            rows(std::max(top, drawnBottom_ + 1), bottom);
        }
        drawnTop_ = std::min(drawnTop_, top);
        drawnBottom_ = std::max(drawnBottom_, bottom);
        Advance(n);
    }

    void Advance(int n) { phase_ = (phase_ + n) % (DashOn + DashOff); }

    void Pixel(int x, int y, bool on) {
        if (on && x >= left_ && x <= right_ && y >= top_ && y <= bottom_) Set(x, y);
    }

    // `count` rows of column x from row y on, a row further each step `dir` (+1 down, -1 up),
    // the first at place `at` of the pattern; all inside the clip.
    void Rows(int x, int y, int dir, int count, int at) {
        while (count > 0) {
            const bool on = at < DashOn;
            const int n = std::min((on ? DashOn : DashOn + DashOff) - at, count);
            if (on && scale_ == 1) {
                uchar* p = bits_ + y * stride_ + x * 4;
                const qsizetype s = dir * stride_;
                for (int k = 0; k < n; ++k, p += s)
                    *reinterpret_cast<std::uint32_t*>(p) = value_;
            } else if (on) {
                for (int k = 0; k < n; ++k)
                    Set(x, y + k * dir);
            }
            y += n * dir;
            count -= n;
            at = on ? DashOn : 0;
        }
    }

    // Pixel (x, y), inside the clip: a square of device pixels.
    void Set(int x, int y) {
        if (scale_ == 1) {
            reinterpret_cast<std::uint32_t*>(bits_ + y * stride_)[x] = value_;
            return;
        }
        for (int r = 0; r < scale_; ++r) {
            auto* row = reinterpret_cast<std::uint32_t*>(bits_ + (y * scale_ + r) * stride_);
            std::fill_n(row + x * scale_, scale_, value_);
        }
    }

    uchar* bits_;
    qsizetype stride_;
    int scale_;
    int left_ = 0, right_ = -1, top_ = 0, bottom_ = -1; // the clip, in units
    std::uint32_t value_;
    int phase_ = 0;
    int column_ = NoColumn, drawnTop_ = 0, drawnBottom_ = 0; // rows drawn by the last verticals
};

} // namespace

void DrawDashedPolylines(QPainter& painter, const std::vector<std::vector<QPoint>>& lines,
                         const QRect& clip) {
    const int scale = lines.empty() ? 0 : PlainScale(painter);
    if (scale == 0) {
        for (const auto& line : lines)
            painter.drawPolyline(line.data(), static_cast<int>(line.size()));
        return;
    }
    auto* image = static_cast<QImage*>(painter.device());
    DashWriter writer(*image, scale, clip, painter.pen().color().rgba());
    for (const auto& line : lines)
        if (!line.empty()) writer.Polyline(line);
}

} // namespace vemo
