#include "plot/Renderer.h"

#include "data/Text8.h"
#include "data/TextNumbers.h"
#include "plot/CanvasText.h"
#include "plot/PenLines.h"
#include "plot/SpeedTrace.h"
#include "plot/Traces.h"

#include <QImage>
#include <QPainter>

// Resources of a static library are registered by hand, outside any namespace.
static void RegisterLogoResource() {
    Q_INIT_RESOURCE(logo);
}

namespace vemo {

PlotRect PlotArea;

const QImage& BackgroundLogo() {
    static const QImage logo = [] {
        RegisterLogoResource();
        return QImage(QStringLiteral(":/vemo/background_logo.png"));
    }();
    return logo;
}

PlotLayout ComputeLayout(int ppiX, int ppiY, double width, double height, double left, double top) {
    PlotLayout l;
    l.W = TruncToInt(ppiX * width);
    l.H = TruncToInt(ppiY * height);
    const double offX = ppiX * left, offY = ppiY * top;
    l.X0 = TruncToInt(offX);
    l.Y0 = TruncToInt(offY);
    l.X1 = TruncToInt(l.W + offX);
    l.Y1 = TruncToInt(l.H + offY);
    l.YLabelX = TruncToInt(l.W / 20 + offX);
    l.TitleY = TruncToInt(l.H / 30 + offY);
    l.Area.Left = l.W / 10 + l.YLabelX;
    l.Area.Top = l.H / 7 + l.TitleY;
    l.Area.Right = TruncToInt((l.W - l.W / 12) + offX);
    l.Area.Bottom = TruncToInt((l.H - (2 * l.H) / 12) + offY);
    l.XLabelY = TruncToInt((l.H - l.H / 12) + offY);
    return l;
}

namespace {

QString Text(const std::string& s) {
    return ToWidgetText(s);
}

// Lines end one pixel short of their end point, as line drawing does on every canvas.
void SetPen(QPainter& p, const QColor& colour, int ppi, Qt::PenStyle style = Qt::SolidLine,
            int width = 1) {
    p.setPen(PlotPen(colour, style, width, Qt::FlatCap, ppi));
}

// Rectangle (x1, y1) to (x2, y2), right and bottom edges excluded: filled with the brush and
// outlined with the pen.
void Rectangle(QPainter& p, int x1, int y1, int x2, int y2) {
    if (x2 <= x1 || y2 <= y1) return;
    p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), p.brush());
    const UnitLineShift shift(p);
    p.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

// Average climb between the first sample at or after TimeMin and the last one at or before
// TimeMax of the first Signal; 0 when there are no such samples or no time between them.
double AverageClimb(const PlotDocument& doc) {
    const SampleStore& s = doc.Signals.front()->Samples;
    const int n = s.Count();
    int i1 = -1, i2 = -1;
    for (int i = 0; i < n && i1 < 0; ++i)
        if (s.Time[static_cast<std::size_t>(i)] >= doc.TimeMin) i1 = i;
    for (int i = n - 1; i >= 0 && i2 < 0; --i)
        if (s.Time[static_cast<std::size_t>(i)] <= doc.TimeMax) i2 = i;
    if (i1 < 0 || i2 < 0) return 0.0;
    const double dt = s.Time[static_cast<std::size_t>(i2)] - s.Time[static_cast<std::size_t>(i1)];
    if (dt == 0.0) return 0.0;
    return (s.Alt[static_cast<std::size_t>(i2)] - s.Alt[static_cast<std::size_t>(i1)]) / dt;
}

} // namespace

std::string AverageClimbText(const PlotDocument& doc) {
    return "Avg Climb = " + FormatNumber(doc.Signals.empty() ? 0.0 : AverageClimb(doc), 'g', 3);
}

namespace {

bool ValidSpan(double lo, double hi) {
    return lo < hi && std::isfinite(hi - lo);
}

} // namespace

void RenderPlot(const RenderTarget& t, const PlotDocument& doc) {
    if (!t.Canvas) return;
    QPainter& p = *t.Canvas;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBackgroundMode(Qt::TransparentMode);
    const PlotLayout l = ComputeLayout(t.PpiX, t.PpiY, t.Width, t.Height, t.Left, t.Top);
    const int W = l.W, H = l.H;

    // 1. Font: bold, tick label height, in the face whose text cells the layout's heights are
    // made for (or the nearest one the system has).
    QFont font = p.font();
    UsePlotFace(font);
    font.setFixedPitch(true);
    font.setBold(true);
    p.setFont(font);
    SetFontHeight(p, H / 27);

    // 2. Colours. In monochrome the pen stays black for every line.
    const QColor back = t.Colour ? ToQColor(doc.BGColor) : QColor(Qt::white);
    const QColor grid = t.Colour ? ToQColor(doc.GridColor) : QColor(Qt::black);
    QColor fontColour = t.Colour ? ToQColor(doc.ScaleColor) : QColor(Qt::black);
    p.setBrush(back);
    const int ppi = t.PpiX;
    SetPen(p, grid, ppi);

    // 3. Background, 4. logo.
    Rectangle(p, l.X0, l.Y0, l.X1, l.Y1);
    if (t.Switches.ShowBackground) {
        const QPoint from(TruncToInt(t.PpiX * t.Left + 1), TruncToInt(t.PpiY * t.Top + 1));
        const QPoint to(TruncToInt(W + t.PpiX * t.Left - 1), TruncToInt(H + t.PpiY * t.Top - 1));
        if (to.x() > from.x() && to.y() > from.y())
            p.drawImage(QRect(from, QSize(to.x() - from.x(), to.y() - from.y())), BackgroundLogo());
    }

    // 5. Layout. The speed axis, when shown, takes its room from the plot's right side.
    PlotRect area = l.Area;
    const SpeedAxis speed = PlanSpeedAxis(p, t, doc, l, area);
    const PlotRect& a = area;
    if (t.Screen) PlotArea = a;
    if (speed.On) DrawSpeedAxis(p, t, speed, a, grid, fontColour, ToQColor(doc.ScaleColor), back);
    const PixelMap map(doc, a);
    const bool timeValid = ValidSpan(doc.TimeMin, doc.TimeMax);
    const bool altValid = ValidSpan(doc.AltMin, doc.AltMax);

    // 6. Time ticks, grid lines and labels.
    if (timeValid) {
        const TickLayout tk = NiceTicks(doc.TimeMin, doc.TimeMax);
        int n = 0;
        for (double v = tk.First; TickInView(v, tk) && n < MaxTicks; v += tk.Step, ++n) {
            const int px = a.Left + map.Time(v);
            SetPen(p, grid, ppi);
            LineExcludingEnd(p, px, a.Bottom, px, a.Bottom + t.PpiY / 17);
            SetPen(p, grid, ppi, Qt::DotLine);
            UnitLine(p, px, a.Top, px, a.Bottom);
            SetPen(p, grid, ppi);
            const QString label = QString::fromStdString(TickLabel(v, tk));
            TextOut(p, px - TextWidth(p, label) / 2, a.Bottom + t.PpiY / 15, label, fontColour,
                    back);
        }
    }

    // 7. Altitude ticks; 8. the zero line, on an edge when 0 is out of range.
    if (altValid) {
        const TickLayout tk = NiceTicks(doc.AltMin, doc.AltMax);
        int n = 0;
        for (double v = tk.First; TickInView(v, tk) && n < MaxTicks; v += tk.Step, ++n) {
            const int py = a.Top + map.Alt(v);
            SetPen(p, grid, ppi);
            LineExcludingEnd(p, a.Left - 1, py, a.Left - t.PpiX / 17, py);
            SetPen(p, grid, ppi, Qt::DotLine);
            UnitLine(p, a.Left, py, a.Right, py);
            SetPen(p, grid, ppi);
            const QString label = QString::fromStdString(TickLabel(v, tk));
            TextOut(p, a.Left - TextWidth(p, label) - t.PpiX / 15, py - TextHeight(p) / 2, label,
                    fontColour, back);
        }
        const int py0 = a.Top + map.Alt(0.0);
        UnitLine(p, a.Left, py0, a.Right, py0);
    }

    auto centred = [&](const QString& s) {
        return a.Left + (a.Right - a.Left) / 2 - TextWidth(p, s) / 2;
    };

    // 9. Title, in the label colour in monochrome too.
    fontColour = ToQColor(doc.LabelColor);
    font = p.font();
    font.setFixedPitch(false);
    p.setFont(font);
    SetFontHeight(p, H / 20);
    const QString title = Text(doc.Title);
    TextOut(p, centred(title), l.TitleY, title, fontColour, back);
    const int titleBottom = l.TitleY + TextHeight(p);

    // 10. Info lines.
    fontColour = ToQColor(doc.InfoColor);
    if (t.Switches.ShowInfo) {
        SetFontHeight(p, H / 50);
        const int th = TextHeight(p);
        // Info1's opaque cell starts below the title's, which would lose its descenders.
        const QString info1 = Text(doc.Info1);
        TextOut(p, centred(info1), std::max(l.TitleY + 2 * th, titleBottom), info1, fontColour,
                back);
        const int x = l.X0 + (l.X1 - l.X0) / 40;
        const int base = l.Y1 - (l.Y1 - l.Y0) / 40;
        TextOut(p, x, base - 2 * th, Text(doc.Info2), fontColour, back);
        TextOut(p, x, base - th, Text(doc.Info3), fontColour, back);
    }

    // 11. Time axis label.
    SetFontHeight(p, H / 25);
    fontColour = ToQColor(doc.LabelColor);
    const QString xLabel = Text(doc.XAxisLabel);
    TextOut(p, centred(xLabel), l.XLabelY, xLabel, fontColour, back);

    // 12. Footers, in Arial's face from here on.
    font = p.font();
    UsePlotFace(font);
    p.setFont(font);
    fontColour = ToQColor(doc.ScaleColor);
    SetFontHeight(p, H / 35);
    {
        const int th = TextHeight(p);
        const int right = l.X1 - (l.X1 - l.X0) / 40;
        const int base = l.Y1 - (l.Y1 - l.Y0) / 40;
        const QString f1 = Text(doc.Footer1), f2 = Text(doc.Footer2);
        TextOut(p, right - TextWidth(p, f1), base - 2 * th, f1, fontColour, back);
        TextOut(p, right - TextWidth(p, f2), base - th, f2, fontColour, back);
    }

    // 13. Average climb of the first Signal over the visible time range.
    if (t.Switches.ShowAvgROC && !doc.Signals.empty()) {
        const QString s = QString::fromStdString(AverageClimbText(doc));
        TextOut(p, centred(s), TruncToInt(TextHeight(p) * 1.5 + l.XLabelY), s, fontColour, back);
    }

    // 14. Altitude axis label, reading upward, centred on the plot's height.
    {
        const QString s = Text(doc.YAxisLabel);
        p.save();
        p.translate(l.YLabelX, a.Top + (a.Bottom - a.Top) / 2 + TextWidth(p, s) / 2);
        p.rotate(-90.0);
        TextOut(p, 0, 0, s, fontColour, back);
        p.restore();
    }

    // 15. Everything after is clipped to the plot rectangle, its right and bottom edges
    // included. 17. The frame comes before the Signals, so that data on the rectangle's edge
    // pixels (a trace above the range, a short flight beside a long recording in the first
    // column) stays visible.
    p.setClipRect(QRect(a.Left, a.Top, a.Right - a.Left + 1, a.Bottom - a.Top + 1));
    const int frameWidth = std::max(t.PpiX / 75, 1);
    SetPen(p, grid, ppi, Qt::SolidLine, frameWidth);
    const QPoint frame[5] = {{a.Left, a.Top},
                             {a.Left, a.Bottom},
                             {a.Right, a.Bottom},
                             {a.Right, a.Top},
                             {a.Left, a.Top}};
    if (frameWidth == 1) {
        // The outline of the rectangle: the polyline's pixels at 1x, and whole at any scale,
        // where the polyline's flat ends leave a corner open.
        p.setBrush(Qt::NoBrush);
        const UnitLineShift shift(p);
        p.drawRect(QRect(a.Left, a.Top, a.Right - a.Left, a.Bottom - a.Top));
        p.setBrush(back);
    } else {
        p.drawPolyline(frame, 5);
    }
    if (speed.On && timeValid) DrawSpeedTraces(p, t, doc, speed, a, grid);

    // 16. The Signals in list order.
    if (timeValid && altValid) {
        TraceContext c;
        c.P = &p;
        c.Doc = &doc;
        c.Area = a;
        c.PpiX = t.PpiX;
        c.PpiY = t.PpiY;
        c.Colour = t.Colour;
        c.Literal = t.LiteralLines;
        c.Back = back;
        c.LabelColour = fontColour;
        c.FrameWidth = frameWidth;
        const std::size_t count = doc.Signals.size();
        for (std::size_t k = 0; k < count; ++k)
            if (doc.Signals[k]->Visible) DrawSignal(c, *doc.Signals[k]);
    }

    // 18. Clip removed, pen width 1.
    SetPen(p, grid, ppi);
    p.setClipping(false);
}

} // namespace vemo
