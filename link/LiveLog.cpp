#include "link/LiveLog.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace vemo {

namespace {

constexpr std::uint8_t CmdLiveLog = 'l';

// Far outside any canvas, but safe to turn into a pixel coordinate.
constexpr double CoordinateLimit = 1.0e6;

int PixelRow(double y) {
    if (!(y > -CoordinateLimit)) return static_cast<int>(-CoordinateLimit); // NaN too
    if (y > CoordinateLimit) return static_cast<int>(CoordinateLimit);
    return static_cast<int>(std::trunc(y));
}

} // namespace

void AltitudeHistory::Allocate(int columns) {
    Values.assign(static_cast<std::size_t>(std::max(columns, 0)), 0.0);
    Start = End = Count = 0;
}

void AltitudeHistory::Release() {
    Values.clear();
    Values.shrink_to_fit();
    Start = End = Count = 0;
}

void PaintAltChart(QPainter& painter, int w, int h, const AltitudeHistory& history) {
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    painter.fillRect(QRect(0, 0, w, h), Qt::black);

    painter.setPen(QColor(128, 128, 128));
    for (int i = 0; i <= 10; ++i) {
        const int y = i * h / 10;
        painter.drawLine(0, y, w, y);
    }

    QPen red(Qt::red, 2);
    red.setCapStyle(Qt::RoundCap);
    red.setJoinStyle(Qt::RoundJoin);
    painter.setPen(red);
    painter.setBrush(Qt::red);
    const double scale = h / history.FullScale;
    const int size = static_cast<int>(history.Values.size());
    // The ring wraps at its own size, which is the chart's width at start-up.
    if (history.Count > 1 && size > 0) {
        int index = history.Start;
        int x = w - 2 * history.Count;
        QPolygon line;
        while (index != history.End && x < w && index >= 0 && index < size) {
            line << QPoint(x,
                           PixelRow(h - history.Values[static_cast<std::size_t>(index)] * scale));
            x += 2;
            if (++index == size) index = 0;
        }
        painter.drawPolyline(line);
    }
    red.setWidth(1);
    painter.setPen(red);
}

void StartBtnClick(ModuleContext& ctx, LiveLogUi& ui) {
    if (ctx.state.Logging) {
        ui.RunTimer(false);
        ctx.state.Logging = false;
        ui.ShowLogging(false);
        return;
    }
    if (!CheckConnected(ctx, true)) return;
    ctx.link.FlushInput();
    ctx.link.WriteByte(CmdLiveLog);
    if (ModuleGone(ctx)) return;
    ctx.state.Logging = true;
    ui.ShowLogging(true);
    ui.RunTimer(true);
}

} // namespace vemo
