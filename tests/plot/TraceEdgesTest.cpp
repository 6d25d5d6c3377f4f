// Traces at the edges of the view and through samples that are not finite numbers.
#include "FlightSet.h"
#include "PlotFixture.h"

#include <cmath>
#include <limits>

using namespace vemo;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using TraceEdges = PlotFixture;

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
    const int apogee = PixelOf(0, 3200).y(), ground = PixelOf(0, 100).y();
    EXPECT_GE(RedRows(RenderToImage(doc), kArea.Left).size(), size_t(ground - apogee));
    // Ctrl+Right halves the time span: the whole flight is still there.
    doc.TimeMax = doc.TimeMin + (doc.TimeMax - doc.TimeMin) / 2;
    EXPECT_GE(RedRows(RenderToImage(doc), kArea.Left).size(), size_t(ground - apogee));
}

TEST_F(TraceEdges, SegmentsLeavingTheViewKeepTheirSlopeToTheEdge) {
    // Each column of the segment's span shows the true line (beyond top or bottom: that edge).
    const struct {
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
    for (const auto& c : cases) {
        doc.Clear();
        Add({{c.x1, c.y1}, {c.x2, c.y2}});
        View(c.t0, c.t1, c.a0, c.a1);
        const QImage img = RenderToImage(doc);
        const double dt = (c.t1 - c.t0) / (kArea.Right - kArea.Left); // a column's seconds
        const double tLo = std::min(c.x1, c.x2), tHi = std::max(c.x1, c.x2);
        const auto row = [&](double t) {
            return PixelOf(0, c.y1 + (t - c.x1) * (c.y2 - c.y1) / (c.x2 - c.x1)).y();
        };
        for (int x = kArea.Left + 8; x <= kArea.Right - 2; x += 3) {
            SCOPED_TRACE(std::string(c.edge) + ", column " + std::to_string(x));
            const double t = c.t0 + (x - kArea.Left + 0.5) * dt;
            const std::vector<int> rows = RedRows(img, x);
            // Caps reach two columns beyond the span; next to the samples marks cover the line.
            if (t < tLo - 2 * dt || t > tHi + 2 * dt) {
                EXPECT_TRUE(rows.empty());
            }
            if (t < tLo + 5 * dt || t > tHi - 5 * dt) continue;
            // The rows of the true line a line width (two columns, when steep) around.
            const int r1 = row(t - 1.5 * dt), r2 = row(t + 1.5 * dt);
            ASSERT_FALSE(rows.empty());
            EXPECT_GE(rows.front(), std::min(r1, r2) - 2);
            EXPECT_LE(rows.back(), std::max(r1, r2) + 2);
        }
        const bool firstIn = c.x1 >= c.t0 && c.x1 <= c.t1 && c.y1 >= c.a0 && c.y1 <= c.a1;
        const QRect mark(PixelOf(firstIn ? c.x1 : c.x2, firstIn ? c.y1 : c.y2) - QPoint(4, 4),
                         QSize(9, 9));
        EXPECT_GT(CountExactly(img, mark, kGreen), 0) << c.edge;
        EXPECT_EQ(CountExactly(img, mark, kGreen), CountExactly(img, img.rect(), kGreen)) << c.edge;
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
    auto column = [&](double t) { return PixelOf(t, 0).x(); };
    // No segment to or from the samples at 6 s, 12 s and the one without a time.
    for (double t : {4.5, 5.5, 6.5, 7.5, 12.5, 13.5, 16.5, 17.5})
        EXPECT_TRUE(RedRows(img, column(t)).empty()) << t;
    for (double t : {3.0, 9.0, 15.0})
        EXPECT_FALSE(RedRows(img, column(t)).empty()) << t;
    EXPECT_EQ(CountExactly(img, QRect(105, 61, 40, 232), kRed), 0); // nothing dives to an edge
    EXPECT_EQ(CountExactly(img, QRect(105, 61, 538, 3), kRed), 0);
    EXPECT_EQ(CountExactly(img, QRect(105, 290, 538, 3), kRed), 0);
    // Squares (20 pixels) at the seven finite samples, one cross-hair (24) at the finite peak.
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
