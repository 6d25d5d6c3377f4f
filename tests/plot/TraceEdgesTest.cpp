// Traces at the edges of the view and on odd data: what leaves the range keeps its slope up
// to the edge, data on the edge pixels shows over the frame, and samples that are not finite
// numbers break the line.
#include "FlightSet.h"
#include "PlotPictures.h"
#include "TextRecorder.h"

#include "data/AppState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vemo;

namespace {

const QColor kRed(255, 0, 0), kGreen(0, 255, 0);
constexpr PlotRect kArea{105, 61, 642, 292}; // the default export's plot rectangle
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class TraceEdges : public ::testing::Test {
protected:
    void SetUp() override {
        App.ShowInfo = App.ShowAvgROC = App.ShowBackground = false;
        doc.Clear();
        doc.Title = doc.XAxisLabel = doc.YAxisLabel = doc.Footer1 = doc.Footer2 = "";
    }
    // A data set drawn as a red solid line with green square marks.
    Signal* Add(const std::vector<std::pair<double, double>>& samples) {
        Signal* s = doc.CreateDataSet();
        s->Samples.Clear();
        for (auto [t, a] : samples)
            s->Samples.Append(t, a);
        s->LineColor = 0x000000FF;
        s->PointColor = 0x0000FF00;
        s->PointStyle = PointSquare;
        return s;
    }
    void View(double t0, double t1, double a0, double a1) {
        doc.TimeMin = t0, doc.TimeMax = t1, doc.AltMin = a0, doc.AltMax = a1;
    }
    // Red pixels of column x inside the plot rectangle.
    static std::vector<int> RedRows(const QImage& img, int x) {
        std::vector<int> rows;
        for (int y = kArea.Top; y <= kArea.Bottom; ++y)
            if (Pixel(img, x, y) == kRed) rows.push_back(y);
        return rows;
    }

    PlotDocument doc;
};

} // namespace

TEST_F(TraceEdges, ShortFlightBesideALongRecordingIsDrawnInTheFirstColumns) {
    Signal* recording = Add({});
    for (int i = 0; i <= 14000; ++i)
        recording->Samples.Append(i * 5.0, 200 + 150 * std::sin(i / 900.0));
    recording->LineColor = 0x00FF0000;
    Add({})->PointStyle = PointNone;
    FillFlight(doc, 1, 0.25, 100.0); // 100 s up to about 3250 ft
    AutoRangeTime(doc);
    AutoRangeAlt(doc);
    const int apogee = 61 + MapAltToPixel(doc, kArea, 3200);
    const int ground = 61 + MapAltToPixel(doc, kArea, 100);
    EXPECT_GE(RedRows(RenderToImage(doc), kArea.Left).size(), size_t(ground - apogee));
    // Ctrl+Right halves the time span: the whole flight is still there.
    doc.TimeMax = doc.TimeMin + (doc.TimeMax - doc.TimeMin) / 2;
    EXPECT_GE(RedRows(RenderToImage(doc), kArea.Left).size(), size_t(ground - apogee));
}

TEST_F(TraceEdges, SegmentsLeavingTheViewKeepTheirSlopeToTheEdge) {
    // Each segment runs from a sample inside to one outside the view; every column of the
    // plot shows it where the true line is (above or below the range: on that edge) or not
    // at all outside its time span. The square mark of the outside sample is not drawn.
    struct Case {
        const char* edge;
        double t0, t1, a0, a1; // the view
        double x1, y1, x2, y2; // the segment
    } cases[] = {
        {"right, zoomed on a climb", 4.98, 14.98, 5.02, 14.98, 14, 14, 15, 15},
        {"right", 0, 20, 0, 20, 10, 10, 30, 15},
        {"left", 0, 20, 0, 20, -10, 5, 10, 10},
        {"top", 0, 20, 0, 20, 10, 10, 12, 40},
        {"bottom", 0, 20, 0, 20, 8, -30, 10, 10},
        {"corner", 0, 20, 0, 20, 10, 10, 30, 30},
    };
    for (const Case& c : cases) {
        doc.Clear();
        Add({{c.x1, c.y1}, {c.x2, c.y2}});
        View(c.t0, c.t1, c.a0, c.a1);
        const QImage img = RenderToImage(doc);
        const double perColumn = (c.t1 - c.t0) / (kArea.Right - kArea.Left);
        for (int x = kArea.Left + 8; x <= kArea.Right - 2; x += 3) {
            const double t = c.t0 + (x - kArea.Left + 0.5) * perColumn;
            const std::vector<int> rows = RedRows(img, x);
            // Next to the samples their marks cover the line; outside the segment's time
            // span only its caps may reach a column.
            const double tLo = std::min(c.x1, c.x2), tHi = std::max(c.x1, c.x2);
            if (t < tLo - 2 * perColumn || t > tHi + 2 * perColumn) {
                EXPECT_TRUE(rows.empty()) << c.edge << " column " << x;
            }
            if (t < tLo + 5 * perColumn || t > tHi - 5 * perColumn) continue;
            // The rows the true line passes through in this column, a line width (two
            // columns across, for a steep line) around.
            auto row = [&](double at) {
                const double alt = c.y1 + (at - c.x1) * (c.y2 - c.y1) / (c.x2 - c.x1);
                return 61 + MapAltToPixel(doc, kArea, alt);
            };
            const int r1 = row(t - 1.5 * perColumn), r2 = row(t + 1.5 * perColumn);
            ASSERT_FALSE(rows.empty()) << c.edge << " column " << x;
            EXPECT_GE(rows.front(), std::min(r1, r2) - 2) << c.edge << " column " << x;
            EXPECT_LE(rows.back(), std::max(r1, r2) + 2) << c.edge << " column " << x;
        }
        const bool firstInside = c.x1 >= c.t0 && c.x1 <= c.t1 && c.y1 >= c.a0 && c.y1 <= c.a1;
        const QPoint inside(105 + MapTimeToPixel(doc, kArea, firstInside ? c.x1 : c.x2),
                            61 + MapAltToPixel(doc, kArea, firstInside ? c.y1 : c.y2));
        const int marks = CountExactly(img, img.rect(), kGreen);
        EXPECT_GT(CountExactly(img, QRect(inside - QPoint(4, 4), QSize(9, 9)), kGreen), 0)
            << c.edge;
        EXPECT_EQ(CountExactly(img, QRect(inside - QPoint(4, 4), QSize(9, 9)), kGreen), marks)
            << c.edge << ": a mark outside the view";
    }
}

TEST_F(TraceEdges, SamplesThatAreNotFiniteBreakTheLineAndAreLeftOut) {
    Signal* s = Add({{2, 5},
                     {4, 15},
                     {6, kNaN},
                     {8, 5},
                     {10, 15},
                     {12, kInf},
                     {14, 5},
                     {16, 10},
                     {kNaN, 10},
                     {18, 15}});
    s->Samples.PeakMarks[2] = s->Samples.PeakMarks[5] = s->Samples.PeakMarks[1] = 1;
    doc.ScaleColor = 0x000000FF;
    const QImage img = RenderToImage(doc);
    auto column = [&](double t) { return 105 + MapTimeToPixel(doc, kArea, t); };
    // No segment to or from the samples at 6 s, 12 s and the one without a time.
    for (double t : {4.5, 5.5, 6.5, 7.5, 12.5, 13.5, 16.5, 17.5})
        EXPECT_TRUE(RedRows(img, column(t)).empty()) << t;
    for (double t : {3.0, 9.0, 15.0})
        EXPECT_FALSE(RedRows(img, column(t)).empty()) << t;
    EXPECT_EQ(CountExactly(img, QRect(105, 61, 40, 232), kRed), 0); // nothing dives to an edge
    EXPECT_EQ(CountExactly(img, QRect(105, 61, 538, 3), kRed), 0);
    EXPECT_EQ(CountExactly(img, QRect(105, 290, 538, 3), kRed), 0);
    // Marks at the seven finite samples only (6 x 6 squares, 20 outline pixels each), the
    // cross-hair (four arms of six pixels) and label of the one finite marked peak.
    EXPECT_EQ(CountExactly(img, img.rect(), kGreen), 7 * 20 + 4 * 6);
    TextRecorder device;
    RecordTexts(doc, device);
    int labels = 0;
    for (const DrawnText& t : device.Texts)
        labels += t.Text == "15.00" || t.Text.contains("nan") || t.Text.contains("inf");
    EXPECT_EQ(labels, 1);
    // Auto-range goes by the finite samples.
    View(1, 2, 1, 2);
    AutoRangeAlt(doc);
    AutoRangeTime(doc);
    EXPECT_EQ(std::vector<double>({doc.TimeMin, doc.TimeMax, doc.AltMin, doc.AltMax}),
              std::vector<double>({0, 20, 0, 20}));
}
