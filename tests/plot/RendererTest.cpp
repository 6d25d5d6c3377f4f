#include "PlotPictures.h"

#include <gtest/gtest.h>

using namespace vemo;

namespace {

class Renderer : public ::testing::Test {
protected:
    void SetUp() override {
        PlotArea = PlotRect{};
        doc.Footer1.clear();
        doc.Footer2.clear();
        doc.Title.clear();
        doc.XAxisLabel.clear();
        doc.YAxisLabel.clear();
    }

    // A data set with the given samples and a solid line of the given colour.
    Signal* AddSet(const std::vector<std::pair<double, double>>& samples, Colour line) {
        Signal* s = doc.CreateDataSet();
        s->Samples.Clear();
        for (auto [t, a] : samples)
            s->Samples.Append(t, a);
        s->LineColor = line;
        s->LineStyle = LineSolid;
        return s;
    }

    PlotDocument doc;
};

const QColor kRed(255, 0, 0);

} // namespace

TEST_F(Renderer, DefaultExportLayout) {
    const PlotLayout l = ComputeLayout(100, 100, 7.0, 3.5, 0.0, 0.0);
    EXPECT_EQ(l.Area.Left, 105);
    EXPECT_EQ(l.Area.Top, 61);
    EXPECT_EQ(l.Area.Right, 642);
    EXPECT_EQ(l.Area.Bottom, 292);
    EXPECT_EQ(l.YLabelX, 35);
    EXPECT_EQ(l.TitleY, 11);
    EXPECT_EQ(l.XLabelY, 321);
    // A print placement moves everything by the margins.
    const PlotLayout m = ComputeLayout(600, 600, 7.0, 3.5, 1.0, 0.5);
    EXPECT_EQ(m.Area.Left, 4200 / 10 + 4200 / 20 + 600);
    EXPECT_EQ(m.Area.Top, 2100 / 7 + 2100 / 30 + 300);
    EXPECT_EQ(m.X1, 4800);
    EXPECT_EQ(m.Y1, 2400);
}

TEST_F(Renderer, FrameInGridColourAndBackgroundColourConverted) {
    doc.GridColor = 0x00204060; // blue 0x20, green 0x40, red 0x60
    doc.BGColor = 0x0000FFFF;   // yellow: red and green bytes
    const QImage img = RenderToImage(doc);
    const QColor grid(0x60, 0x40, 0x20);
    for (QPoint p : {QPoint(105, 150), QPoint(642, 150), QPoint(400, 61), QPoint(400, 292),
                     QPoint(105, 61), QPoint(642, 292)})
        EXPECT_EQ(Pixel(img, p.x(), p.y()), grid) << p.x() << "," << p.y();
    EXPECT_EQ(Pixel(img, 0, 0), grid); // the background's outline
    EXPECT_EQ(Pixel(img, 5, 5), QColor(255, 255, 0));
    EXPECT_EQ(Pixel(img, 400, 150), QColor(255, 255, 0)); // between grid lines
    EXPECT_EQ(CountExactly(img, img.rect(), QColor(Qt::magenta)), 0);
}

TEST_F(Renderer, PlotAreaIsPublishedByScreenRenderingsOnly) {
    RenderToImage(doc);
    EXPECT_EQ(PlotArea.Right, 0);
    RenderToImage(doc, {.Width = 960, .Height = 480, .Ppi = 96, .Screen = true});
    const PlotLayout l = ComputeLayout(96, 96, 10.0, 5.0, 0, 0);
    EXPECT_EQ(PlotArea.Left, l.Area.Left);
    EXPECT_EQ(PlotArea.Bottom, l.Area.Bottom);
    RenderToImage(doc); // an export leaves it as the screen left it
    EXPECT_EQ(PlotArea.Right, l.Area.Right);
}

TEST_F(Renderer, ZeroLineLiesOnTheEdgeWhenZeroIsOutOfRange) {
    doc.GridColor = 0x00000000;
    const QColor grid(0, 0, 0);
    auto solidRows = [&](const QImage& img) {
        std::vector<int> rows;
        for (int y = 61; y <= 292; ++y)
            if (CountExactly(img, QRect(106, y, 535, 1), grid) == 535) rows.push_back(y);
        return rows;
    };
    doc.AltMin = -10;
    doc.AltMax = 10;
    EXPECT_EQ(solidRows(RenderToImage(doc)),
              (std::vector<int>{61, 61 + MapAltToPixel(doc, {105, 61, 642, 292}, 0.0), 292}));
    doc.AltMin = 10;
    doc.AltMax = 50;
    EXPECT_EQ(solidRows(RenderToImage(doc)), (std::vector<int>{61, 292}));
    doc.AltMin = -50;
    doc.AltMax = -10;
    EXPECT_EQ(solidRows(RenderToImage(doc)), (std::vector<int>{61, 292}));
}

TEST_F(Renderer, TraceLeavingTheRangeRunsAlongTheEdges) {
    // Up to 100 and down to -100 on a 0..50 range; mapped x of t is 105 + t * 26.85.
    AddSet({{0, 25}, {4, 100}, {8, 100}, {10, 25}, {12, -100}, {16, -100}, {20, 25}}, 0x000000FF);
    doc.AltMax = 50;
    const QImage img = RenderToImage(doc);
    // Below the range on the bottom edge, above it on the top, over the frame; not inside.
    for (int x : {105 + 13 * 26, 105 + 15 * 26}) {
        EXPECT_EQ(Pixel(img, x, 291), kRed) << x;
        EXPECT_EQ(Pixel(img, x, 292), kRed) << x;
    }
    for (int x : {105 + 5 * 26, 105 + 7 * 26})
        EXPECT_EQ(Pixel(img, x, 61), kRed) << x;
    EXPECT_EQ(CountExactly(img, QRect(105 + 5 * 26, 62, 2 * 26, 230), kRed), 0);
    EXPECT_NE(Pixel(img, 105 + 5 * 26, 60), kRed); // clipped at the plot rectangle
    // In range the same line is drawn inside.
    EXPECT_GT(CountExactly(img, QRect(105, 62, 2 * 26, 229), kRed), 20);
}

TEST_F(Renderer, SolidPenWidthFollowsTheResolution) {
    AddSet({{0, 10}, {20, 10}}, 0x000000FF);
    auto thickness = [&](int ppi) {
        const QImage img =
            RenderToImage(doc, {.Width = 7 * ppi, .Height = ppi * 7 / 2, .Ppi = ppi});
        const PlotLayout l = ComputeLayout(ppi, ppi, 7.0, 3.5, 0, 0);
        int most = 0;
        for (int x = l.Area.Left + 50; x < l.Area.Left + 100; ++x) {
            int n = 0;
            for (int y = l.Area.Top; y <= l.Area.Bottom; ++y)
                if (Pixel(img, x, y) == kRed) ++n;
            most = std::max(most, n);
        }
        return most;
    };
    EXPECT_EQ(thickness(96), 2);
    EXPECT_EQ(thickness(600), 4);
    doc.AltSignal(0)->LineStyle = LineDash;
    EXPECT_EQ(thickness(600), 1);
}

TEST_F(Renderer, MonochromeKeepsTextColoursAndDotMarks) {
    doc.InfoColor = 0x000000FF;
    doc.Info1 = "INFORMATION LINE";
    Signal* s = AddSet({{2, 5}, {10, 15}, {18, 5}}, 0x0000FF00);
    s->PointStyle = PointDot;
    s->PointColor = 0x00FF0000; // blue
    doc.BGColor = 0x00C0C0C0;
    const QImage img = RenderToImage(doc, {.Colour = false});
    EXPECT_EQ(Pixel(img, 5, 5), QColor(Qt::white));
    EXPECT_EQ(Pixel(img, 105, 150), QColor(Qt::black)); // frame
    const PlotRect a{105, 61, 642, 292};
    const int x = 105 + MapTimeToPixel(doc, a, 10), y = 61 + MapAltToPixel(doc, a, 15);
    EXPECT_EQ(Pixel(img, x, y), QColor(0, 0, 255)); // the "Dot" keeps its colour
    // The line next to it is black, not green.
    EXPECT_EQ(Pixel(img, 105 + MapTimeToPixel(doc, a, 6), 61 + MapAltToPixel(doc, a, 10)),
              QColor(Qt::black));
    EXPECT_EQ(CountShowing(img, img.rect(), QColor(0, 255, 0)), 0);
    EXPECT_GT(CountShowing(img, QRect(105, 11, 538, 40), kRed), 10); // red info text
}

TEST_F(Renderer, ShowInfoHidesTheInfoLinesButNotTheFooters) {
    doc.InfoColor = 0x000000FF;
    doc.ScaleColor = 0x00FF0000;
    doc.Info1 = "FIRST INFO LINE";
    doc.Info2 = "SECOND INFO LINE";
    doc.Info3 = "THIRD INFO LINE";
    doc.Footer1 = "Created by Vemo - Get an Altitude!";
    doc.Footer2 = PlotDocument::MakerWebAddress;
    const QRect lowerLeft(0, 300, 350, 50), lowerRight(350, 300, 350, 50), top(0, 0, 700, 60);
    const QColor blue(0, 0, 255);

    QImage img = RenderToImage(doc);
    EXPECT_GT(CountShowing(img, lowerLeft, kRed), 10);
    EXPECT_GT(CountShowing(img, top, kRed), 10);
    EXPECT_GT(CountShowing(img, lowerRight, blue), 10);

    img = RenderToImage(doc, {.Switches = {.ShowInfo = false}});
    EXPECT_EQ(CountShowing(img, img.rect(), kRed), 0);
    EXPECT_GT(CountShowing(img, lowerRight, blue), 10);
}

TEST_F(Renderer, AverageClimbOverTheVisibleSamples) {
    AddSet({{0, 0}, {10, 100}, {15, 250}, {20, 300}, {30, 900}}, 0x000000FF);
    doc.TimeMin = 8;
    doc.TimeMax = 22;
    EXPECT_EQ(AverageClimbText(doc), "Avg Climb = 20");
    doc.AltSignal(0)->Samples.SetAlt(3, 100.0 + 10 * 12.3456);
    EXPECT_EQ(AverageClimbText(doc), "Avg Climb = 12.3"); // three significant digits
    doc.TimeMin = 40;
    doc.TimeMax = 50; // no sample at or after TimeMin
    EXPECT_EQ(AverageClimbText(doc), "Avg Climb = 0");
    doc.TimeMin = 14;
    doc.TimeMax = 16; // one sample only: no time between the ends
    EXPECT_EQ(AverageClimbText(doc), "Avg Climb = 0");

    // The line appears under the time axis label only when switched on.
    doc.ScaleColor = 0x00FF0000;
    const QRect below(105, 321 + 14, 538, 15);
    EXPECT_EQ(CountShowing(RenderToImage(doc), below, QColor(0, 0, 255)), 0);
    EXPECT_GT(CountShowing(RenderToImage(doc, {.Switches = {.ShowAvgROC = true}}), below,
                           QColor(0, 0, 255)),
              10);
}

TEST_F(Renderer, EmptyAndInvertedRangesDrawFrameButNoData) {
    AddSet({{0, 0}, {5, 10}, {10, 20}, {20, 5}}, 0x000000FF);
    Signal* s = doc.AltSignal(0);
    s->PointStyle = PointCircle;
    s->Samples.PeakMarks[1] = 1;
    s->ClimbMarks[0] = ClimbMark{0, 2, 1};
    doc.GridColor = 0;
    for (auto [t0, t1, a0, a1] :
         {std::tuple{5.0, 5.0, 0.0, 20.0}, std::tuple{0.0, 20.0, 7.0, 7.0},
          std::tuple{20.0, 0.0, 0.0, 20.0}, std::tuple{0.0, 20.0, 30.0, -5.0}}) {
        doc.TimeMin = t0;
        doc.TimeMax = t1;
        doc.AltMin = a0;
        doc.AltMax = a1;
        const QImage img = RenderToImage(doc);
        EXPECT_EQ(CountShowing(img, img.rect(), kRed), 0) << t0 << " " << t1 << " " << a0;
        EXPECT_EQ(Pixel(img, 105, 150), QColor(Qt::black));
        EXPECT_EQ(Pixel(img, 642, 150), QColor(Qt::black));
    }
}

TEST_F(Renderer, SignalWithOneTimeIsDrawnWhole) {
    // Every sample at 5 s: a vertical stroke from altitude 2 to 18.
    AddSet({{5, 2}, {5, 18}, {5, 10}}, 0x000000FF);
    const QImage img = RenderToImage(doc);
    const PlotRect a{105, 61, 642, 292};
    const int x = 105 + MapTimeToPixel(doc, a, 5);
    for (double alt : {3.0, 10.0, 17.0})
        EXPECT_EQ(Pixel(img, x, 61 + MapAltToPixel(doc, a, alt)), kRed);
}

TEST_F(Renderer, ClimbMarksWithIndicesOutOfRangeAreSkipped) {
    Signal* s = AddSet({{0, 0}, {10, 10}, {20, 20}}, 0x0000FF00);
    doc.InfoColor = 0x000000FF;
    s->ClimbMarks[0] = ClimbMark{0, 7, 1};
    s->ClimbMarks[1] = ClimbMark{-3, 1, 1};
    EXPECT_EQ(CountShowing(RenderToImage(doc), QRect(106, 62, 535, 229), kRed), 0);
    s->ClimbMarks[2] = ClimbMark{0, 2, 1}; // a valid one draws its bracket in InfoColor
    EXPECT_GT(CountShowing(RenderToImage(doc), QRect(106, 62, 535, 229), kRed), 50);
}

TEST_F(Renderer, BackgroundLogoIsAPaletteImageStretchedInside) {
    const QImage& logo = BackgroundLogo();
    EXPECT_EQ(logo.size(), QSize(994, 694));
    EXPECT_EQ(logo.format(), QImage::Format_Indexed8);
    const QImage plain = RenderToImage(doc);
    const QImage withLogo = RenderToImage(doc, {.Switches = {.ShowBackground = true}});
    EXPECT_EQ(Pixel(withLogo, 0, 0), Pixel(plain, 0, 0)); // the outline stays
    int changed = 0;
    for (int y = 1; y < 349; y += 7)
        for (int x = 1; x < 699; x += 7)
            if (withLogo.pixel(x, y) != plain.pixel(x, y)) ++changed;
    EXPECT_GT(changed, 1000);
}

TEST_F(Renderer, PeakMarksInViewGetACrossHairAndTheirAltitude) {
    Signal* s = AddSet({{0, 0}, {5, 12.5}, {10, 5}, {15, 8}, {30, 1}}, 0x00FF0000);
    s->PointColor = 0x0000FF00;
    doc.ScaleColor = 0x000000FF; // the labels' colour
    const PlotRect a{105, 61, 642, 292};
    const QImage none = RenderToImage(doc);
    EXPECT_EQ(CountExactly(none, none.rect(), QColor(0, 255, 0)), 0);

    s->Samples.PeakMarks[1] = 1;
    s->Samples.PeakMarks[4] = 1; // at 30 s, outside the view: not drawn
    const QImage img = RenderToImage(doc);
    const int x = 105 + MapTimeToPixel(doc, a, 5), y = 61 + MapAltToPixel(doc, a, 12.5);
    const int sx = 3, sy = 3; // mark half-sizes at 100 per inch
    // The four arms of the cross-hair, its centre left open for the trace.
    for (QPoint arm : {QPoint(x - 2 * sx, y), QPoint(x + 2 * sx, y), QPoint(x, y - 2 * sy)})
        EXPECT_EQ(Pixel(img, arm.x(), arm.y()), QColor(0, 255, 0)) << arm.x() << "," << arm.y();
    // "12.50" above it in the label colour.
    EXPECT_GT(CountShowing(img, QRect(x - 30, y - 3 * sy - 14, 60, 14), kRed), 10);
    EXPECT_EQ(CountExactly(img, QRect(600, 61, 42, 231), QColor(0, 255, 0)), 0);
}
