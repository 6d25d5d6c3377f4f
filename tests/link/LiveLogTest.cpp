// The live altitude monitor: its strip chart drawn on a picture of the chart's size, and
// "Start"/"Stop" against a line the test plays the module on.
#include "link/LiveLog.h"
#include "LinkTestSupport.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>

using namespace vemo;

namespace {

constexpr int W = 665, H = 321;
const QRgb Black = qRgb(0, 0, 0), Grey = qRgb(128, 128, 128), Red = qRgb(255, 0, 0);

QImage Paint(const AltitudeHistory& history) {
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintAltChart(painter, W, H, history);
    return image;
}

// A history of the chart's width holding `values`, the oldest first, from ring index `start`.
AltitudeHistory HistoryOf(const std::vector<double>& values, int start = 0) {
    AltitudeHistory h;
    h.Allocate(W);
    h.Start = h.End = start;
    for (double v : values) {
        h.Values[static_cast<std::size_t>(h.End)] = v;
        h.End = (h.End + 1) % W;
    }
    h.Count = static_cast<int>(values.size());
    return h;
}

// Left of column `right`, every pixel is the black box or one of the grey rows at i * H / 10.
void ExpectBoxAndGridLeftOf(const QImage& image, int right) {
    for (int y = 0; y < H; ++y) {
        bool grid = false;
        for (int i = 0; i < 10; ++i)
            grid |= y == i * H / 10;
        for (int x = 0; x < right; ++x)
            ASSERT_EQ(image.pixel(x, y), grid ? Grey : Black) << x << "," << y;
    }
}

// A red pixel at p or next to it (a width-2 line covers one of each pair of neighbours).
bool RedNear(const QImage& image, QPoint p) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.rect().contains(p + QPoint(dx, dy)) && image.pixel(p + QPoint(dx, dy)) == Red)
                return true;
    return false;
}

TEST(AltChart, ARedLineTwoPixelsAValueWithTheNewestAtTheRightEdgeOverTheGrid) {
    // Fewer than two values draw no line.
    ExpectBoxAndGridLeftOf(Paint(AltitudeHistory{}), W);
    ExpectBoxAndGridLeftOf(Paint(HistoryOf({5000})), W);
    // The same four values, once from the ring's start and once across its wrap:
    // x = W - 8, W - 6, W - 4, W - 2; y = trunc(H - v * H / 10000).
    for (int start : {0, W - 2}) {
        SCOPED_TRACE(start);
        const QImage image = Paint(HistoryOf({0, 5000, 10000, 2500}, start));
        const QPoint points[] = {{W - 8, 321}, {W - 6, 160}, {W - 4, 0}, {W - 2, 240}};
        for (int i = 1; i < 4; ++i) {
            EXPECT_TRUE(RedNear(image, points[i])) << i;
            EXPECT_TRUE(RedNear(image, (points[i - 1] + points[i]) / 2)) << i; // mid-segment
        }
        ExpectBoxAndGridLeftOf(image, W - 10); // nothing left of the oldest value
    }
}

TEST(AltChart, ALevelLineIsTwoPixelsThickAndValuesFarOutsideAreClipped) {
    QImage image = Paint(HistoryOf({5000, 5000, 5000, 5000}));
    for (int x = W - 7; x <= W - 3; ++x) {
        int rows = 0;
        for (int y = 0; y < H; ++y)
            rows += image.pixel(x, y) == Red;
        EXPECT_EQ(rows, 2) << x;
        EXPECT_TRUE(RedNear(image, {x, 160})) << x; // trunc(321 - 160.5)
    }
    // The last segment comes down from far above the box to the newest value.
    image = Paint(HistoryOf({1e300, -1e300, std::nan(""), 20000, 5000}));
    EXPECT_TRUE(RedNear(image, {W - 2, 160}));
    EXPECT_TRUE(RedNear(image, {W - 3, 0}));
}

class RecordingLogUi : public LiveLogUi {
public:
    void ShowLogging(bool logging) override { Shown.push_back(logging); }
    void RunTimer(bool run) override { TimerRuns = run; }
    std::vector<bool> Shown;
    bool TimerRuns = false;
};

TEST(StartStop, StartNeedsAConnectionAndDiscardsInputBeforeLStopTellsTheModuleNothing) {
    linktest::PtyPair pty;
    SerialLink link;
    StringListLog log;
    linktest::RecordingPrompt prompt;
    linktest::RecordingUi ui;
    ModuleContext ctx{link, log, prompt, ui};
    RecordingLogUi logUi;
    StartBtnClick(ctx, logUi);
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Not Connected"});
    EXPECT_EQ(ui.ConnectPageShown, 1);
    EXPECT_TRUE(logUi.Shown.empty());

    log.Clear();
    ASSERT_TRUE(link.OpenPort(pty.Path(), 115200)) << link.LastOpenError();
    ctx.state.Connected = true;
    pty.Send("stale bytes");
    StartBtnClick(ctx, logUi);
    EXPECT_TRUE(ctx.state.Logging);
    EXPECT_TRUE(logUi.TimerRuns);
    EXPECT_EQ(pty.Receive(1), "l");
    std::uint8_t b;
    EXPECT_EQ(link.ReadBytes({&b, 1}), 0); // what was waiting was discarded first

    StartBtnClick(ctx, logUi); // "Stop"
    EXPECT_EQ(pty.Receive(1, 100), "");
    StartBtnClick(ctx, logUi);
    link.ClosePort();
    ctx.state.Connected = false;
    StartBtnClick(ctx, logUi); // "Stop" after the link closed
    EXPECT_FALSE(ctx.state.Logging);
    EXPECT_FALSE(logUi.TimerRuns);
    EXPECT_EQ(logUi.Shown, (std::vector<bool>{true, false, true, false}));
    EXPECT_TRUE(log.Lines.empty());
}

} // namespace
