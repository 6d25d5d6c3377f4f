// The plot's small geometry and its texts, checked by pixel and by the texts drawn.
#include "PlotFixture.h"
#include "data/PlotDocument.h"

#include "plot/XorOverlay.h"
#include "plot/ui/PlotBox.h"

#include <QFontInfo>
#include <QFontMetrics>

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
        // Drawn at a whole pixel size scaled to the cell.
        EXPECT_NEAR(QFontMetricsF(t->Font, &device).height() * t->Scale, height, 0.1) << text;
        EXPECT_EQ(QFontInfo(t->Font).family(), "Liberation Sans") << text;
    }
}

TEST_F(PlotGeometry, TextCellsOfEveryHeightStackExactly) {
    // Footer cells (H / 35 = 13, 29) that whole pixel sizes of the face never give: the second
    // footer's ink starts a cell below the first's.
    doc.ScaleColor = 0x00FF0000;
    doc.Footer1 = doc.Footer2 = "HH";
    for (int h : {455, 1015}) {
        const QImage img = RenderToImage(doc, {.Height = h});
        std::vector<int> tops;
        for (int y = h - h / 12; y < h; ++y)
            if (CountShowing(img, QRect(600, y, 100, 1), kBlue) &&
                !CountShowing(img, QRect(600, y - 1, 100, 1), kBlue))
                tops.push_back(y);
        ASSERT_EQ(tops.size(), 2u) << h;
        EXPECT_EQ(tops[1] - tops[0], h / 35) << h;
    }
}

TEST_F(PlotGeometry, PeakLabelsAndTheTitleStayWhole) {
    // A peak label's ink in the plot, the peak mid-view and in the top-left corner.
    doc.ScaleColor = 0x00FF0000;
    Add({{10, 10}})->Samples.PeakMarks[0] = 1;
    const QRect inside(kArea.Left + 1, kArea.Top + 1, 536, 230);
    const int whole = CountShowing(RenderToImage(doc), inside, kBlue);
    View(10, 30, -10, 10);
    EXPECT_EQ(CountShowing(RenderToImage(doc), inside, kBlue), whole);
    // Info1 leaves the title's cell (11 to 27) as it was.
    doc.Title = "simulation, gyp";
    const QImage alone = RenderToImage(doc);
    doc.Info1 = std::string(70, 'W');
    EXPECT_EQ(RenderToImage(doc).copy(0, 0, 700, 28), alone.copy(0, 0, 700, 28));
}

TEST_F(PlotGeometry, TickLabelsAndTheLastTick) {
    // The additions overshoot the last tick, 31.9, by rounding: it is still drawn.
    doc.TimeMin = 21.07;
    doc.TimeMax = 32.49;
    EXPECT_TRUE(Drawn("31.9"));
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

TEST_F(PlotGeometry, ClimbLabelThatWouldCrossAnEdgeMovesInBesideItsBracket) {
    Signal* s = Add({{0, 0}, {1, 200}, {2, 400}, {18, 400}, {19, 300}, {20, 100}});
    s->ClimbMarks[0] = {0, 2, 1}; // rising from the left edge, rate 200
    s->ClimbMarks[1] = {3, 5, 1}; // falling to the right edge, rate -150
    s->ClimbMarks[2] = {1, 4, 1}; // rising in the middle: left of the bracket as usual
    doc.AltMax = 500;
    TextRecorder device;
    RecordTexts(doc, device);
    const DrawnText *up = device.Find("200.00"), *down = device.Find("-150.00"),
                    *mid = device.Find("5.56");
    ASSERT_TRUE(up && down && mid);
    EXPECT_GE(up->Base.x(), kArea.Left);
    EXPECT_LE(down->Base.x() + QFontMetrics(down->Font, &device).horizontalAdvance("-150.00"),
              kArea.Right);
    // On the side of its bracket that the slope gives, moved in from the edge.
    EXPECT_LT(up->Base.x(), PixelOf(1, 0).x());
    EXPECT_GT(down->Base.x(), PixelOf(18, 0).x());
    EXPECT_LT(mid->Base.x(), (PixelOf(1, 0).x() + PixelOf(18, 0).x()) / 2);
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
    const QImage one = box.RenderPicture(1.0).copy();
    QImage img = box.RenderPicture(2.0);
    PlotDoc = nullptr;
    ASSERT_EQ(img.size(), QSize(960, 540));
    // The 2-unit trace is 4 device pixels thick.
    const int ppi = box.logicalDpiX();
    const PlotRect a = ComputeLayout(ppi, ppi, 480.0 / ppi, 270.0 / ppi, 0, 0).Area;
    EXPECT_EQ(CountExactly(img, QRect(2 * (a.Left + 100), 0, 1, 540), kRed), 4);
    // One-unit lines (frame, grid, tick marks, square marks) cover their doubled 1x pixels:
    // from the tick marks' ends to beyond the frame, each 1x pixel is two by two.
    int moved = 0;
    for (int y = a.Top - 1; y < a.Bottom + ppi / 17; ++y)
        for (int x = a.Left - ppi / 17 + 1; x <= a.Right + 1; ++x)
            for (int d = 0; d < 4; ++d)
                moved += img.pixel(2 * x + d % 2, 2 * y + d / 2) != one.pixel(x, y);
    EXPECT_EQ(moved, 0);
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
