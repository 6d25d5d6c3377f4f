// The live altitude monitor: its strip chart drawn on a picture of the chart's size, and
// "Start"/"Stop" against a line the test plays the module on.
#include "link/LiveLog.h"
#include "LinkTestSupport.h"
#include "data/AppState.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstdlib>

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

bool GridRow(int y) {
    for (int i = 0; i < 10; ++i)
        if (y == i * H / 10) return true;
    return false;
}

// A history of the chart's width holding `values`, the oldest first, starting at `start`.
AltitudeHistory HistoryOf(const std::vector<double>& values, int start = 0) {
    AltitudeHistory h;
    h.Allocate(W);
    h.Start = start;
    int i = start;
    for (double v : values) {
        h.Values[static_cast<std::size_t>(i)] = v;
        i = (i + 1) % W;
    }
    h.End = i;
    h.Count = static_cast<int>(values.size());
    return h;
}

// A red pixel at p or next to it (a width-2 line covers one of each pair of neighbours).
bool RedNear(const QImage& image, QPoint p) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint q = p + QPoint(dx, dy);
            if (image.rect().contains(q) && image.pixel(q) == Red) return true;
        }
    return false;
}

} // namespace

TEST(AltChart, FewerThanTwoValuesShowTheBlackBoxAndTheGridOnly) {
    AltitudeHistory empty;
    AltitudeHistory one = HistoryOf({5000});
    for (const AltitudeHistory* h : {&empty, &one}) {
        const QImage image = Paint(*h);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(image.pixel(x, y), GridRow(y) ? Grey : Black) << x << "," << y;
    }
}

TEST(AltChart, ValuesAreARedLineTwoPixelsApartWithTheNewestAtTheRightEdge) {
    // The same four values, once from the ring's start and once across its wrap.
    const std::vector<double> values = {0, 5000, 10000, 2500};
    for (int start : {0, W - 2}) {
        SCOPED_TRACE(start);
        const QImage image = Paint(HistoryOf(values, start));
        // x = W - 8, W - 6, W - 4, W - 2; y = trunc(H - v * H / 10000)
        const QPoint points[] = {{W - 8, 321}, {W - 6, 160}, {W - 4, 0}, {W - 2, 240}};
        for (int i = 1; i < 4; ++i) {
            EXPECT_TRUE(RedNear(image, points[i])) << i;
            // the middle of each segment is on the line too
            EXPECT_TRUE(RedNear(image, (points[i - 1] + points[i]) / 2)) << i;
        }
        // Nothing red left of the oldest value, and the grid is untouched there.
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W - 10; ++x)
                ASSERT_EQ(image.pixel(x, y), GridRow(y) ? Grey : Black) << x << "," << y;
    }
}

TEST(AltChart, ALevelLineIsTwoPixelsThickAndValuesFarOutsideAreClipped) {
    QImage image = Paint(HistoryOf({5000, 5000, 5000, 5000}));
    // y = trunc(321 - 160.5) = 160
    for (int x = W - 7; x <= W - 3; ++x) {
        int rows = 0;
        for (int y = 0; y < H; ++y)
            rows += image.pixel(x, y) == Red;
        EXPECT_EQ(rows, 2) << x;
        EXPECT_TRUE(RedNear(image, {x, 160})) << x;
    }
    // The last segment comes down from far above the box to the newest value.
    image = Paint(HistoryOf({1e300, -1e300, std::nan(""), 20000, 5000}));
    EXPECT_TRUE(RedNear(image, {W - 2, 160}));
    EXPECT_TRUE(RedNear(image, {W - 3, 0}));
}

namespace {

class RecordingLogUi : public LiveLogUi {
public:
    void ShowLogging(bool logging) override { Shown.push_back(logging); }
    void RunTimer(bool run) override { TimerRuns = run; }
    std::vector<bool> Shown;
    bool TimerRuns = false;
};

class StartStopTest : public ::testing::Test {
protected:
    void SetUp() override {
        App = AppState{};
        ASSERT_TRUE(pty.Ok());
    }
    void TearDown() override {
        link.ClosePort();
        App = AppState{};
    }
    void Connect() {
        ASSERT_TRUE(link.OpenPort(pty.Path(), 115200)) << link.LastOpenError();
        App.Connected = true;
    }

    linktest::PtyPair pty;
    SerialLink link;
    StringListLog log;
    linktest::RecordingPrompt prompt;
    linktest::RecordingUi ui;
    ModuleContext ctx{link, log, prompt, ui};
    RecordingLogUi logUi;
};

} // namespace

TEST_F(StartStopTest, StartSendsLAfterDiscardingInputAndStopOnlyStopsTheTimer) {
    Connect();
    pty.Send("stale bytes");
    StartBtnClick(ctx, logUi);
    EXPECT_TRUE(App.Logging);
    EXPECT_EQ(logUi.Shown, std::vector<bool>{true});
    EXPECT_TRUE(logUi.TimerRuns);
    EXPECT_EQ(pty.Receive(1), "l");
    std::uint8_t b;
    EXPECT_EQ(link.ReadBytes({&b, 1}), 0); // what was waiting was discarded first
    EXPECT_TRUE(log.Lines.empty());

    // A disconnect does not stop the log; "Stop" afterwards still stops the timer.
    link.ClosePort();
    App.Connected = false;
    EXPECT_TRUE(App.Logging);
    StartBtnClick(ctx, logUi);
    EXPECT_FALSE(App.Logging);
    EXPECT_EQ(logUi.Shown, (std::vector<bool>{true, false}));
    EXPECT_FALSE(logUi.TimerRuns);
    EXPECT_TRUE(log.Lines.empty());
    EXPECT_EQ(pty.Receive(1, 100), ""); // the module is not told
}

TEST_F(StartStopTest, StartWhileNotConnectedReportsItOnTheConnectPage) {
    log.Append("earlier");
    StartBtnClick(ctx, logUi);
    EXPECT_FALSE(App.Logging);
    EXPECT_TRUE(logUi.Shown.empty());
    EXPECT_FALSE(logUi.TimerRuns);
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Not Connected"});
    EXPECT_EQ(ui.ConnectPageShown, 1);
}
