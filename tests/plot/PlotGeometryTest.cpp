// The plot's small geometry and its texts, checked by pixel and by the texts drawn.
#include "PlotFixture.h"
#include "data/PlotDocument.h"

#include "plot/CanvasText.h"
#include "plot/XorOverlay.h"
#include "plot/ui/PlotBox.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

using namespace vemo;

namespace {

class PlotGeometry : public PlotFixture {
protected:
    bool Drawn(const QString& s) const {
        TextRecorder device;
        RecordTexts(doc, device);
        return device.Find(s) != nullptr;
    }
};

} // namespace

TEST_F(PlotGeometry, MarksAndTickMarksCoverExactlyTheirPixels) {
    // Pixels in and not in each thing's colour (marks 3 a half-side): offsets from (10, 10).
    const int tick = PixelOf(0, 10).y(), column = PixelOf(10, 0).x();
    const QPoint last = PixelOf(15, 15);
    struct Case {
        const char* what;
        int point, peak, climb;
        QColor colour;
        bool absolute;
        std::vector<QPoint> on, off;
    };
    // clang-format off
    const Case cases[] = {
        {"circle", PointCircle, 0, 0, kGreen, false, {{-3, 0}, {2, 0}, {0, -3}, {0, 2}},
         {{3, 0}, {0, 3}, {-4, 0}, {0, -4}}},
        {"square", PointSquare, 0, 0, kGreen, false, {{-3, -3}, {2, -3}, {-3, 2}, {2, 2}},
         {{3, 0}, {0, 3}, {3, 3}}},
        {"triangle", PointTriangle, 0, 0, kGreen, false, {{0, -3}, {-3, 3}, {3, 3}}, {{4, 3}, {0, 4}}},
        {"peak cross-hair", PointNone, 1, 0, kGreen, false,
         {{-9, 0}, {-4, 0}, {3, 0}, {8, 0}, {0, -9}, {0, -4}, {0, 3}, {0, 8}},
         {{-3, 0}, {9, 0}, {0, -3}, {0, 9}, {0, 0}}},
        {"altitude tick mark", PointNone, 0, 0, kBlack, true, {{101, tick}, {104, tick}}, {{100, tick}}},
        {"time tick mark", PointNone, 0, 0, kBlack, true, {{column, 292}, {column, 296}},
         {{column, 297}}},
        // Up from the first sample, across, and down to a mark height less one below the last.
        {"climb bracket", PointNone, 0, 1, kRed, true, {PixelOf(5, 5), last + QPoint(0, 2)},
         {last + QPoint(0, 3)}},
    };
    // clang-format on
    for (const Case& c : cases) {
        doc.Clear();
        Signal* s = Add({{5, 5}, {10, 10}, {15, 15}});
        s->LineStyle = LineNone;
        s->PointStyle = c.point;
        s->Samples.PeakMarks[1] = static_cast<std::uint8_t>(c.peak);
        if (c.climb) s->ClimbMarks[0] = {0, 2, 1};
        const QImage img = RenderToImage(doc);
        const QPoint at = c.absolute ? QPoint(0, 0) : PixelOf(10, 10);
        for (QPoint d : c.on)
            EXPECT_EQ(Pixel(img, at.x() + d.x(), at.y() + d.y()), c.colour)
                << c.what << " at " << d.x() << "," << d.y();
        for (QPoint d : c.off)
            EXPECT_NE(Pixel(img, at.x() + d.x(), at.y() + d.y()), c.colour)
                << c.what << " not at " << d.x() << "," << d.y();
    }
}

TEST_F(PlotGeometry, TextCellsHaveTheLayoutsHeightsInArialsMetrics) {
    Add({{0, 0}, {10, 10}, {20, 20}})->Samples.PeakMarks[1] = 1;
    doc.Title = "TITLE";
    doc.Info1 = "INFO";
    doc.XAxisLabel = "X LABEL";
    doc.YAxisLabel = "Y LABEL";
    doc.Footer1 = "FOOTER";
    TextRecorder device;
    RecordTexts(doc, device, {.ShowAvgROC = true});
    // H = 350: tick labels H/27, title H/20, info H/50, time label H/25, the rest H/35.
    const std::pair<const char*, int> cells[] = {
        {"10.0", 12},   {"TITLE", 17},   {"INFO", 7},           {"X LABEL", 14},
        {"FOOTER", 10}, {"Y LABEL", 10}, {"Avg Climb = 1", 10}, {"10.00", 10},
    };
    for (auto [text, height] : cells) {
        const DrawnText* t = device.Find(text);
        ASSERT_NE(t, nullptr) << text;
        // The glyphs are drawn at a whole pixel size, scaled to the cell.
        EXPECT_NEAR(QFontMetricsF(t->Font, &device).height() * t->Scale, height, 0.1) << text;
        EXPECT_EQ(QFontInfo(t->Font).family(), "Liberation Sans") << text;
    }
}

TEST_F(PlotGeometry, EveryTextCellHeightIsReachedExactly) {
    // Whole pixel sizes of the face skip cells (13, 18, 24, 29 ... with Liberation Sans).
    int wrong = 0;
    for (int ppi : {100, 1200}) {
        QImage img(8, 8, QImage::Format_RGB32);
        img.setDotsPerMeterX(static_cast<int>(std::lround(ppi / 0.0254)));
        img.setDotsPerMeterY(static_cast<int>(std::lround(ppi / 0.0254)));
        QPainter p(&img);
        QFont f = p.font();
        UsePlotFace(f);
        f.setBold(true);
        p.setFont(f);
        for (int h = 1; h <= 260; ++h) {
            SetFontHeight(p, h);
            wrong += TextHeight(p) != h;
        }
    }
    EXPECT_EQ(wrong, 0);
    // What is stacked under a text moves by its exact height: the two footer lines of plots
    // whose footer cell, H / 35, is one of those heights, found by their ink.
    doc.ScaleColor = 0x00FF0000;
    doc.Footer1 = doc.Footer2 = "HH";
    doc.TimeMax = doc.TimeMin; // no tick labels
    for (int h : {455, 630, 840, 1015}) {
        const QImage img = RenderToImage(doc, {.Height = h});
        std::vector<int> tops;
        bool before = false;
        for (int y = h / 2; y < h; ++y) {
            const bool ink = CountShowing(img, QRect(560, y, 140, 1), kBlue) > 0;
            if (ink && !before) tops.push_back(y);
            before = ink;
        }
        ASSERT_EQ(tops.size(), 2u) << h;
        EXPECT_EQ(tops[1] - tops[0], h / 35) << h;
    }
}

TEST_F(PlotGeometry, PeakLabelsStayWholeInsideThePlot) {
    // The label's ink inside the plot with the peak in the middle of the view, and with views
    // that put it on each edge the label would cross: the same every time.
    doc.ScaleColor = 0x00FF0000;
    Signal* s = Add({{10, 10}});
    s->LineStyle = LineNone;
    s->PointStyle = PointNone;
    s->Samples.PeakMarks[0] = 1;
    auto blueInk = [&](double t0, double a0) {
        View(t0, t0 + 20, a0, a0 + 20);
        const QImage img = RenderToImage(doc);
        // None of it on the frame, which it would hide.
        EXPECT_EQ(CountShowing(img, QRect(kArea.Left, kArea.Top, 1, 232), kBlue), 0);
        EXPECT_EQ(CountShowing(img, QRect(kArea.Left, kArea.Top, 538, 1), kBlue), 0);
        return CountShowing(img, QRect(kArea.Left, kArea.Top, 538, 232), kBlue);
    };
    const int whole = blueInk(0, 0);
    EXPECT_GT(whole, 30);
    // Left edge, right edge, top edge, top-left and bottom-right corners.
    for (auto [t0, a0] :
         {std::pair{10.0, 0.0}, {-10.0, 0.0}, {0.0, -10.0}, {10.0, -10.0}, {-10.0, 10.0}})
        EXPECT_EQ(blueInk(t0, a0), whole) << t0 << ", " << a0;
}

TEST_F(PlotGeometry, TheInfoLineLeavesTheTitleWhole) {
    doc.Title = "simulation, gyp";
    doc.LabelColor = 0x000000FF;
    doc.InfoColor = 0x00FF0000;
    const QImage alone = RenderToImage(doc);
    doc.Info1 = std::string(70, 'W');
    const QImage both = RenderToImage(doc);
    int lost = 0;
    for (int y = 0; y < kArea.Top; ++y)
        for (int x = 0; x < 700; ++x)
            lost += Shows(Pixel(alone, x, y), kRed) && Pixel(both, x, y) != Pixel(alone, x, y);
    EXPECT_EQ(lost, 0);
    EXPECT_GT(CountShowing(both, QRect(0, 0, 700, kArea.Top), kBlue), 100); // Info1 is there
}

TEST_F(PlotGeometry, TickLabelsAndTheLastTick) {
    // The additions overshoot the last tick, 31.9, by rounding: it is still drawn.
    doc.TimeMin = 21.07;
    doc.TimeMax = 32.49;
    EXPECT_TRUE(Drawn("31.9"));
    // So is the tick at the view's maximum.
    doc.TimeMin = 12;
    doc.TimeMax = 16;
    doc.AltMax = 10;
    EXPECT_TRUE(Drawn("12.0"));
    EXPECT_TRUE(Drawn("16.0"));
    // A tick that is zero but for rounding reads 0.
    doc.AltMin = -1;
    doc.AltMax = 1;
    EXPECT_TRUE(Drawn("0.0"));
    EXPECT_FALSE(Drawn("-0.0"));
    // Labels of huge values switch to the short form instead of running over the axis label.
    doc.TimeMin = -1e300;
    doc.TimeMax = 1e300;
    TextRecorder device;
    RecordTexts(doc, device);
    EXPECT_NE(device.Find("1e+300"), nullptr);
    int labels = 0;
    for (const DrawnText& t : device.Texts) {
        if (t.Base.y() > kArea.Bottom && t.Base.y() < 321) { // the time axis's labels
            EXPECT_LE(t.Text.size(), 16) << t.Text.toStdString();
            ++labels;
        }
    }
    EXPECT_GE(labels, 10);
}

TEST_F(PlotGeometry, ClimbLabelsStayBesideTheirBracketsInsideThePlot) {
    Signal* s = Add({{0, 0}, {1, 200}, {2, 400}, {18, 400}, {19, 300}, {20, 100}});
    s->ClimbMarks[0] = {0, 2, 1}; // rising from the left edge, rate 200
    s->ClimbMarks[1] = {3, 5, 1}; // falling to the right edge, rate -150
    s->ClimbMarks[2] = {1, 4, 1}; // rising in the middle: left of the bracket as usual
    doc.AltMax = 500;
    TextRecorder device;
    RecordTexts(doc, device);
    // A label's left and right ends, and the middle of a bracket from sample i to j.
    auto ends = [&](const char* text) {
        const DrawnText* t = device.Find(text);
        if (!t) return std::pair{-1.0, -1.0};
        const double w = QFontMetricsF(t->Font, &device).horizontalAdvance(text) * t->Scale;
        return std::pair{t->Base.x(), t->Base.x() + w};
    };
    auto middle = [&](double t1, double t2) {
        return (PixelOf(t1, 0).x() + PixelOf(t2, 0).x()) / 2.0;
    };
    const auto up = ends("200.00"), down = ends("-150.00"), mid = ends("5.56");
    // Inside the plot, on the side of its bracket that the slope gives, even at an edge.
    EXPECT_GT(up.first, kArea.Left);
    EXPECT_LT(up.first, middle(0, 2));
    EXPECT_LE(down.second, kArea.Right);
    EXPECT_GT(down.second, middle(18, 20));
    EXPECT_GT(mid.first, kArea.Left);
    EXPECT_LT(mid.second, middle(1, 18));
}

TEST_F(PlotGeometry, DashesKeepTheirSizeOnAPrinterPage) {
    // The shortest run of the dotted grid and a dashed trace: a dot is 1/96 inch, a dash 4/96.
    Signal* s = Add({{0, 10}, {20, 10}});
    s->LineStyle = LineDash;
    s->PointStyle = PointNone;
    auto shortest = [&](int ppi, bool trace) {
        const QImage img = RenderToImage(doc, {.Width = 2 * ppi, .Height = ppi, .Ppi = ppi});
        const PlotRect a = ComputeLayout(ppi, ppi, 2, 1, 0, 0).Area;
        const int x = a.Left + MapTimeToPixel(doc, a, 10), y = a.Top + MapAltToPixel(doc, a, 10);
        int least = 1 << 30, run = 0;
        bool gap = false; // the first run counts from the first gap on
        for (int k = 10; k < (trace ? a.Right - a.Left : a.Bottom - a.Top) - 10; ++k) {
            if (trace ? Pixel(img, a.Left + k, y) == kRed : Pixel(img, x, a.Top + k) == kBlack) {
                run += gap;
            } else {
                if (run > 0) least = std::min(least, run);
                run = 0;
                gap = true;
            }
        }
        return least;
    };
    EXPECT_EQ(shortest(96, false), 1);
    EXPECT_EQ(shortest(600, false), 6);
    EXPECT_EQ(shortest(96, true), 4);
    EXPECT_EQ(shortest(600, true), 24);
}

TEST_F(PlotGeometry, ViewRendersInDevicePixelsAtTwiceTheScale) {
    Add({{0, 10}, {20, 10}});
    PlotDoc = &doc;
    TPlotBox box;
    box.resize(480, 270);
    QImage img = box.RenderPicture(2.0);
    PlotDoc = nullptr;
    ASSERT_EQ(img.size(), QSize(960, 540));
    // The 2-unit trace is 4 device pixels thick.
    const int ppi = box.logicalDpiX();
    const PlotRect a = ComputeLayout(ppi, ppi, 480.0 / ppi, 270.0 / ppi, 0, 0).Area;
    EXPECT_EQ(CountExactly(img, QRect(2 * (a.Left + 100), 0, 1, 540), kRed), 4);
    // Title glyph edges fall inside a unit's two device pixels, as doubled pixels never do.
    int split = 0;
    for (int y = 0; y < 2 * a.Top; y += 2)
        for (int x = 0; x < 960; x += 2)
            split +=
                img.pixel(x, y) != img.pixel(x + 1, y) || img.pixel(x, y) != img.pixel(x, y + 1);
    EXPECT_GT(split, 50);
    // The overlay drawn twice leaves the picture as it was.
    const XorShape circle{XorShape::HoverCircle, 95, 95, 105, 105};
    const QImage before = img;
    DrawXorShapes(img, std::span(&circle, 1));
    EXPECT_NE(img, before);
    DrawXorShapes(img, std::span(&circle, 1));
    EXPECT_EQ(img, before);
}

TEST_F(PlotGeometry, OneUnitLinesAtTwiceTheScaleCoverTheDoubledPicture) {
    // Frame, dotted grid, zero line, tick marks, a flat two-unit trace, square and cross marks
    // and a peak's cross-hair: a 200 % view shows each 1x pixel as two by two device pixels.
    Signal* s = Add({{0, 10}, {5, 10}, {20, 10}});
    Signal* t = Add({{2, 4}, {8, 4}});
    t->LineStyle = LineNone;
    t->PointStyle = PointCross;
    s->Samples.PeakMarks[1] = 1;
    doc.AltMin = -5;
    doc.ScaleColor = doc.BGColor; // the peak's label, white on white: no texts inside the plot
    PlotDoc = &doc;
    TPlotBox box;
    box.resize(480, 270);
    const QImage one = box.RenderPicture(1.0).copy();
    const QImage two = box.RenderPicture(2.0).copy();
    PlotDoc = nullptr;
    const int ppi = box.logicalDpiX();
    const PlotRect a = ComputeLayout(ppi, ppi, 480.0 / ppi, 270.0 / ppi, 0, 0).Area;
    // From the tick marks' ends to beyond the frame; the tick labels lie further out.
    int wrong = 0;
    for (int y = a.Top - 1; y < a.Bottom + ppi / 17; ++y)
        for (int x = a.Left - ppi / 17 + 1; x <= a.Right + 1; ++x)
            for (int d = 0; d < 4; ++d)
                wrong += two.pixel(2 * x + d % 2, 2 * y + d / 2) != one.pixel(x, y);
    EXPECT_EQ(wrong, 0);
}
