// The plot's small geometry and its texts, checked by pixel and by the texts drawn: marks and
// tick marks cover exactly their pixels, text cells have the layout's heights, tick labels
// stay readable, dashes keep their size on paper, and the view renders at 200 % scaling.
#include "PlotPictures.h"
#include "TextRecorder.h"

#include "data/AppState.h"
#include "plot/XorOverlay.h"
#include "plot/ui/PlotBox.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <functional>

using namespace vemo;

namespace {

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlack(0, 0, 0);
constexpr PlotRect kArea{105, 61, 642, 292};

class PlotGeometry : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        App = AppState{};
        App.ShowBackground = false;
        doc.Clear();
        doc.GridColor = 0x00000000;
        doc.InfoColor = 0x000000FF;
        doc.Footer1 = doc.Footer2 = "";
    }
    Signal* Add(const std::vector<std::pair<double, double>>& samples) {
        Signal* s = doc.CreateDataSet();
        s->Samples.Clear();
        for (auto [t, a] : samples)
            s->Samples.Append(t, a);
        s->LineStyle = LineNone;
        s->PointColor = 0x0000FF00;
        return s;
    }
    QPoint PixelOf(double t, double a) const {
        return {105 + MapTimeToPixel(doc, kArea, t), 61 + MapAltToPixel(doc, kArea, a)};
    }
    std::vector<QString> Labels() const {
        std::vector<QString> out;
        for (const DrawnText& t : RenderedTexts(doc))
            out.push_back(t.Text);
        return out;
    }
    static bool Has(const std::vector<QString>& v, const QString& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    }

    PlotDocument doc;
};

} // namespace

TEST_F(PlotGeometry, MarksAndTickMarksCoverExactlyTheirPixels) {
    // Each case draws one thing at the sample (10, 10) of the default view and names pixels
    // (offsets from the sample's pixel, or absolute for the tick marks) that must or must not
    // be in the colour; half-sizes are 3 at 100 per inch.
    struct Case {
        const char* what;
        std::function<void(Signal&)> setup;
        QColor colour;
        std::vector<QPoint> on, off;
        bool absolute = false;
    };
    const int tick = 61 + MapAltToPixel(doc, kArea, 10), column = PixelOf(10, 0).x();
    const Case cases[] = {
        {"circle",
         [](Signal& s) { s.PointStyle = PointCircle; },
         kGreen,
         {{-3, 0}, {2, 0}, {0, -3}, {0, 2}},
         {{3, 0}, {0, 3}, {-4, 0}, {0, -4}}},
        {"square",
         [](Signal& s) { s.PointStyle = PointSquare; },
         kGreen,
         {{-3, -3}, {2, -3}, {-3, 2}, {2, 2}},
         {{3, 0}, {0, 3}, {3, 3}}},
        {"triangle",
         [](Signal& s) { s.PointStyle = PointTriangle; },
         kGreen,
         {{0, -3}, {-3, 3}, {3, 3}},
         {{4, 3}, {0, 4}}},
        {"peak cross-hair",
         [](Signal& s) { s.Samples.PeakMarks[1] = 1; },
         kGreen,
         {{-9, 0}, {-4, 0}, {3, 0}, {8, 0}, {0, -9}, {0, -4}, {0, 3}, {0, 8}},
         {{-3, 0}, {9, 0}, {0, -3}, {0, 9}, {0, 0}}},
        {"altitude tick mark",
         [](Signal&) {},
         kBlack,
         {{101, tick}, {104, tick}},
         {{100, tick}},
         true},
        {"time tick mark",
         [](Signal&) {},
         kBlack,
         {{column, 292}, {column, 296}},
         {{column, 297}},
         true},
    };
    for (const Case& c : cases) {
        doc.Clear();
        Signal* s = Add({{5, 5}, {10, 10}, {15, 15}});
        c.setup(*s);
        const QImage img = RenderToImage(doc);
        const QPoint at = c.absolute ? QPoint(0, 0) : PixelOf(10, 10);
        for (QPoint d : c.on)
            EXPECT_EQ(Pixel(img, at.x() + d.x(), at.y() + d.y()), c.colour)
                << c.what << " at " << d.x() << "," << d.y();
        for (QPoint d : c.off)
            EXPECT_NE(Pixel(img, at.x() + d.x(), at.y() + d.y()), c.colour)
                << c.what << " not at " << d.x() << "," << d.y();
    }

    // A climb bracket starts at its first sample's pixel and ends one pixel short of a mark
    // height below the second one.
    doc.Clear();
    Signal* s = Add({{5, 5}, {10, 10}, {15, 15}});
    s->ClimbMarks[0] = {0, 2, 1};
    const QImage img = RenderToImage(doc);
    const QPoint foot = PixelOf(5, 5), end = PixelOf(15, 15) + QPoint(0, 3);
    EXPECT_EQ(Pixel(img, foot.x(), foot.y()), kRed);
    EXPECT_EQ(Pixel(img, end.x(), end.y() - 1), kRed);
    EXPECT_NE(Pixel(img, end.x(), end.y()), kRed);
}

TEST_F(PlotGeometry, TextCellsHaveTheLayoutsHeightsInArialsMetrics) {
    Signal* s = Add({{0, 0}, {10, 10}, {20, 20}});
    s->Samples.PeakMarks[1] = 1;
    doc.Title = "TITLE";
    doc.Info1 = "INFO";
    doc.XAxisLabel = "X LABEL";
    doc.YAxisLabel = "Y LABEL";
    doc.Footer1 = "FOOTER";
    App.ShowAvgROC = true;
    TextRecorder device(700, 350, 100);
    RenderedTexts(doc, 700, 350, 100, &device);
    // H = 350: tick labels H/27, title H/20, info H/50, time label H/25, the rest H/35.
    const std::pair<const char*, int> cells[] = {
        {"10.0", 12},   {"TITLE", 17},   {"INFO", 7},           {"X LABEL", 14},
        {"FOOTER", 10}, {"Y LABEL", 10}, {"Avg Climb = 1", 10}, {"10.00", 10},
    };
    for (auto [text, height] : cells) {
        const auto found = device.Find(text);
        ASSERT_FALSE(found.empty()) << text;
        EXPECT_EQ(device.CellHeight(found.front().Font), height) << text;
        EXPECT_EQ(QFontInfo(found.front().Font).family(), "Liberation Sans") << text;
    }
}

TEST_F(PlotGeometry, TickLabelsAndTheLastTick) {
    // The additions overshoot the last tick, 31.9, by rounding: it is still drawn.
    doc.TimeMin = 21.07;
    doc.TimeMax = 32.49;
    EXPECT_TRUE(Has(Labels(), "31.9"));
    // A tick that is zero but for rounding reads 0.
    doc.AltMin = -1;
    doc.AltMax = 1;
    std::vector<QString> labels = Labels();
    EXPECT_TRUE(Has(labels, "0.0"));
    EXPECT_FALSE(Has(labels, "-0.0"));
    // Labels of huge values switch to the short form instead of running over the axis label.
    doc.TimeMin = -1e300;
    doc.TimeMax = 1e300;
    labels = Labels();
    EXPECT_TRUE(Has(labels, "1e+300"));
    int ticks = 0;
    for (const QString& l : labels) {
        bool number = false;
        l.toDouble(&number);
        if (!number) continue; // the title and axis labels
        ++ticks;
        EXPECT_LE(l.size(), 16) << l.toStdString();
    }
    EXPECT_GE(ticks, 10);
}

TEST_F(PlotGeometry, ClimbLabelThatWouldCrossAnEdgeGoesToTheOtherSide) {
    // A climb from the first sample at the left edge: left of the bracket it would be cut off.
    Signal* s = Add({{0, 0}, {1, 200}, {2, 400}, {18, 400}, {19, 300}, {20, 100}});
    s->ClimbMarks[0] = {0, 2, 1}; // rising, rate 200
    s->ClimbMarks[1] = {3, 5, 1}; // falling at the right edge, rate -150
    s->ClimbMarks[2] = {1, 4, 1}; // rising in the middle: left of the bracket as usual
    doc.AltMax = 500;
    TextRecorder device(700, 350, 100);
    RenderedTexts(doc, 700, 350, 100, &device);
    const auto up = device.Find("200.00"), down = device.Find("-150.00"), mid = device.Find("5.56");
    ASSERT_EQ(up.size(), 1u);
    ASSERT_EQ(down.size(), 1u);
    ASSERT_EQ(mid.size(), 1u);
    const int width = QFontMetrics(up.front().Font, &device).horizontalAdvance("200.00");
    EXPECT_GE(up.front().Base.x(), kArea.Left);
    EXPECT_LE(down.front().Base.x() + width, kArea.Right);
    EXPECT_LT(mid.front().Base.x(), (PixelOf(1, 0).x() + PixelOf(18, 0).x()) / 2);
}

TEST_F(PlotGeometry, DashesKeepTheirSizeOnAPrinterPage) {
    // Runs of grid colour down a dotted grid line, and along a dashed trace, at 96 and 600
    // pixels per inch: a dot is 1/96 inch, a dash 4/96 inch.
    Signal* s = Add({{0, 10}, {20, 10}});
    s->LineStyle = LineDash;
    s->LineColor = 0x000000FF;
    auto runs = [&](int ppi, bool alongTrace) {
        const RenderOptions o{.Width = 2 * ppi, .Height = ppi, .Ppi = ppi};
        const QImage img = RenderToImage(doc, o);
        const PlotLayout l = ComputeLayout(ppi, ppi, 2, 1, 0, 0);
        const PlotRect& a = l.Area;
        const int x = a.Left + MapTimeToPixel(doc, a, 10);
        const int y = a.Top + MapAltToPixel(doc, a, 10);
        // Whole runs only: the first counts from the first gap on.
        int shortest = 1 << 30, run = 0;
        bool gap = false;
        const int n = alongTrace ? a.Right - a.Left - 20 : a.Bottom - a.Top - 20;
        for (int k = 10; k < n; ++k) {
            const QColor c = alongTrace ? Pixel(img, a.Left + k, y) : Pixel(img, x, a.Top + k);
            if (c == (alongTrace ? kRed : kBlack)) {
                run += gap;
            } else {
                if (run > 0) shortest = std::min(shortest, run);
                run = 0;
                gap = true;
            }
        }
        return shortest;
    };
    EXPECT_EQ(runs(96, false), 1);
    EXPECT_EQ(runs(600, false), 6);
    EXPECT_EQ(runs(96, true), 4);
    EXPECT_EQ(runs(600, true), 24);
}

TEST_F(PlotGeometry, ViewRendersInDevicePixelsAtTwiceTheScale) {
    Signal* s = Add({{0, 10}, {20, 10}});
    s->LineStyle = LineSolid;
    s->LineColor = 0x000000FF;
    doc.Title = "Altitude versus Time";
    PlotDoc = &doc;
    TPlotBox box;
    box.resize(480, 270);
    QImage img = box.RenderPicture(2.0);
    PlotDoc = nullptr;
    ASSERT_EQ(img.size(), QSize(960, 540));
    // The 2-unit trace is 4 device pixels thick.
    const PlotLayout l = ComputeLayout(box.logicalDpiX(), box.logicalDpiY(),
                                       480.0 / box.logicalDpiX(), 270.0 / box.logicalDpiY(), 0, 0);
    int thick = 0;
    for (int y = 0; y < 540; ++y)
        thick += Pixel(img, 2 * (l.Area.Left + 100), y) == kRed;
    EXPECT_EQ(thick, 4);
    // The title is drawn at device resolution: its glyph edges fall between the two device
    // pixels of a unit, which a picture drawn at one pixel a unit and doubled never has.
    int split = 0;
    for (int y = 0; y < 2 * l.Area.Top; y += 2)
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
