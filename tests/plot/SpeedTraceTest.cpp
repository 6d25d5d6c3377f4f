// The vertical speed beside the altitude: its trace against a flight's true speed, its axis and
// the room it takes, the kept speeds after every change of a set, and every output.
#include "FlightSet.h"
#include "PlotPictures.h"
#include "TextRecorder.h"

#include "data/DataSetEdit.h"
#include "data/RateEstimate.h"
#include "plot/Export.h"
#include "plot/Interaction.h"
#include "plot/Print.h"
#include "plot/SpeedTrace.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include <functional>

using namespace vemo;

namespace {

const QColor kTrace(255, 0, 0), kGrid(0, 255, 0), kBlack(0, 0, 0);
const RenderOptions kOn{.Screen = true, .Switches = {.ShowVerticalSpeed = true}};

bool SameSpeeds(const std::vector<double>& a, const std::vector<double>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](double x, double y) {
        return x == y || (std::isnan(x) && std::isnan(y));
    });
}

} // namespace

TEST(SpeedTrace, LiesOnTheTrueSpeedAgainstItsOwnAxisInEveryOutput) {
    // The flight every 0.1 s, only its speed drawn, in red on a green grid. Its speeds run from
    // -59 to 492 ft/s: the axis takes whole steps of 100 from -100 to 500.
    PlotDocument doc;
    doc.CreateDataSet();
    FillFlight(doc, 0, 0.1, 110.0);
    doc.AltSignal(0)->LineStyle = LineNone;
    doc.AltSignal(0)->LineColor = 0x000000FF;
    doc.TrigSignal(0)->PointStyle = PointNone;
    doc.GridColor = 0x0000FF00;
    doc.YAxisLabel = "Altitude (Meters)";
    AutoRangeAll(doc);
    doc.TimeMax = 110.0; // the recording's end
    const QImage img = RenderToImage(doc, kOn);
    const PlotRect a = PlotArea;
    // The frame's right edge stands on the published rectangle, left of the switched-off 642.
    EXPECT_LT(a.Right, 642);
    for (int y = a.Top + 1; y < a.Bottom; ++y)
        ASSERT_EQ(Pixel(img, a.Right, y), kGrid) << y;

    using namespace flight;
    const double events[] = {pad, pad + burn, apogeeT, mainT, landingT};
    const double f = (a.Right - a.Left) / (doc.TimeMax - doc.TimeMin);
    const int h = a.Bottom - a.Top;
    // The true speed at t (the slope of the flight's pieces, exact between them) on the axis.
    auto row = [&](double t) {
        const double v = (FlightFeet(t + 1e-4) - FlightFeet(t - 1e-4)) / 2e-4;
        return a.Top + h - (v + 100.0) / 600.0 * h;
    };
    int columns = 0, drawn = 0;
    for (int x = a.Left + 1; x < a.Right; ++x) {
        // The column's samples, and the lines to the samples beside them.
        const double t0 = doc.TimeMin + (x - a.Left) / f - 0.1, t1 = t0 + 1.0 / f + 0.2;
        // Within 2 s of an event the estimate's window holds both sides of it.
        if (std::any_of(std::begin(events), std::end(events),
                        [&](double e) { return t1 > e - 2.0 && t0 < e + 2.0; }))
            continue;
        const double r0 = row(t0), r1 = row(t1);
        ++columns;
        bool any = false;
        for (int y = a.Top; y <= a.Bottom; ++y) {
            if (Pixel(img, x, y) != kTrace) continue;
            any = true;
            EXPECT_GE(y, std::min(r0, r1) - 2.0) << "t " << t0;
            EXPECT_LE(y, std::max(r0, r1) + 2.0) << "t " << t0;
        }
        drawn += any;
    }
    EXPECT_GT(columns, 350);
    EXPECT_GT(drawn, columns / 2); // dashes: four pixels on, two off

    // The label reads upward, centred on the plot's height, by the right edge; ticks between.
    TextRecorder rec;
    RecordTexts(doc, rec, kOn.Switches);
    const DrawnText* label = rec.Find("Speed (Meters/s)");
    ASSERT_NE(label, nullptr);
    const int labelWidth = QFontMetrics(label->Font).horizontalAdvance(label->Text);
    EXPECT_NEAR(label->Base.y(), (a.Top + a.Bottom) / 2 + labelWidth / 2, 1.5);
    EXPECT_LT(label->Base.x(), 700 - 700 / 20 + 1);
    QStringList ticks;
    double widestEnd = 0;
    for (const DrawnText& t : rec.Texts) {
        if (&t == label || t.Base.x() <= a.Right || t.Base.y() > a.Bottom + 10) continue;
        ticks << t.Text;
        widestEnd = std::max(widestEnd, t.Base.x() + QFontMetrics(t.Font).horizontalAdvance(t.Text));
    }
    EXPECT_EQ(ticks, QStringList({"-100", "0", "100", "200", "300", "400", "500"}));
    // The ticks end short of the label's cell, by under a fifth of an inch: just their room.
    const double cellLeft = label->Base.x() - QFontMetrics(label->Font).ascent();
    EXPECT_LT(widestEnd, cellLeft);
    EXPECT_GT(widestEnd, cellLeft - 20);

    auto reddish = [](const QImage& img, QRect r) { // the red trace, smeared as JPEG smears it
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = Pixel(img, x, y);
                n += c.red() > c.green() + 60 && c.red() > c.blue() + 60;
            }
        return n;
    };
    const QRect inside(120, 70, 480, 210);
    EXPECT_EQ(reddish(RenderToImage(doc), inside), 0);

    QTemporaryDir dir;
    const PrintSettings s{.PrtColor = true};
    for (int type = 1; type <= ExportFileTypes; ++type) {
        const QString file = dir.filePath(QString("plot.") + ExportExtension(type));
        ExportPlot(doc, s, file, type, &RenderPlot, kOn.Switches);
        if (type == ExportPdf) // drawn by poppler
            QProcess::execute("pdftoppm", {"-r", "100", "-singlefile", "-png", file, file});
        // BMP, JPEG, GIF, PNG and SVG by Qt's own readers
        const QImage img(type == ExportPdf ? file + ".png" : file);
        EXPECT_GT(reddish(img, inside), 150) << ExportExtension(type);
    }
    // A printed page at 300 per inch, and monochrome output, where the trace is black.
    QImage page(2100, 1050, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811);
    page.setDotsPerMeterY(11811);
    page.fill(Qt::white);
    PrintPlot(page, doc, s, &RenderPlot, kOn.Switches);
    EXPECT_GT(reddish(page, QRect(360, 210, 1440, 630)), 900);
    const RenderOptions mono{.Colour = false, .Screen = true, .Switches = kOn.Switches};
    EXPECT_GT(CountExactly(RenderToImage(doc, mono), inside, kBlack),
              CountExactly(RenderToImage(doc, {.Colour = false}), inside, kBlack) + 300);
}

TEST(SpeedTicks, WholeStepsThatTakeInZero) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double lo, hi, min, max, step;
    } cases[] = {{-59, 492, -100, 500, 100},  {3, 47, 0, 50, 10},    {-0.2, -0.05, -0.2, 0, 0.05},
                 {0, 0, -1, 1, 0.5},          {1, -1, -1, 1, 0.5},   {-1e308, 1e308, -1, 1, 0.5},
                 {-inf, 3, -1, 1, 0.5},       {1200, 1234.5, 0, 1500, 500}};
    for (const auto& c : cases) {
        const SpeedTicks t = NiceSpeedTicks(c.lo, c.hi);
        EXPECT_DOUBLE_EQ(t.Min, c.min) << c.lo << ".." << c.hi;
        EXPECT_DOUBLE_EQ(t.Max, c.max) << c.lo << ".." << c.hi;
        EXPECT_DOUBLE_EQ(t.Step, c.step) << c.lo << ".." << c.hi;
        int zero = 0;
        for (int i = 0; i < t.Count(); ++i)
            zero += t.Value(i) == 0.0 && t.Label(i).find('-') == std::string::npos;
        EXPECT_EQ(zero, 1) << c.lo << ".." << c.hi;
    }
}

TEST(KeptSpeeds, EveryChangeOfASetsSamplesOrScalesIsSeen) {
    PlotDocument doc;
    doc.CreateDataSet();
    doc.CreateDataSet();
    FillFlight(doc, 0, 0.1, 60.0);
    FillFlight(doc, 1, 0.25, 40.0); // the next download
    Signal& s = *doc.AltSignal(0);
    SetProperties edit = ReadSetProperties(doc, 0);
    edit.AltScale = "0.3048";
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"downloaded", [&] { s.Samples = std::move(doc.AltSignal(1)->Samples); }},
        {"loaded", [&] { s.Samples.Append(s.Samples.Time.back() + 0.1, 9000.0); }},
        {"one altitude", [&] { s.Samples.SetAlt(50, 3000.0); }},
        {"properties", [&] { ApplySetProperties(doc, 0, edit); }},
        {"drift", [&] { FixDrift(doc, 0); }},
        {"cropped", [&] { doc.TimeMin = 5, doc.TimeMax = 20, CropToView(doc); }},
        {"time scale", [&] { s.TimeScale = 2.0; }},
    };
    for (const auto& [what, change] : changes) {
        const auto kept = KeptVerticalSpeeds(s);
        EXPECT_EQ(KeptVerticalSpeeds(s), kept) << "worked out again without a change";
        change();
        EXPECT_TRUE(SameSpeeds(KeptVerticalSpeeds(s)->Speed, VerticalSpeeds(s))) << what;
        EXPECT_FALSE(SameSpeeds(KeptVerticalSpeeds(s)->Speed, kept->Speed)) << what;
    }
}

TEST(SpeedTrace, ReducedCoversTheLiteralTracesPixels) {
    PlotDocument doc;
    for (int k = 0; k < 3; ++k)
        doc.CreateDataSet();
    FillFlight(doc, 0, 0.01, 110.0); // many samples a pixel column
    FillFlight(doc, 1, 0.5, 110.0);  // many columns a sample
    doc.AltSignal(1)->Samples.SetAlt(30, std::nan(""));
    doc.AltSignal(2)->TimeScale = -1.0; // times that run backwards
    doc.AltSignal(2)->TimeOffset = 20.0;
    SpeedAxis axis;
    axis.Ticks = NiceSpeedTicks(-100, 500);
    auto picture = [&](const Signal& s, bool literal) {
        std::vector<std::vector<QPoint>> lines;
        SpeedPolylines(doc, {105, 61, 642, 292}, axis, s, KeptVerticalSpeeds(s)->Speed, literal,
                       lines);
        EXPECT_FALSE(lines.empty());
        QImage img(700, 350, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap));
        for (const auto& line : lines)
            p.drawPolyline(line.data(), static_cast<int>(line.size()));
        return img;
    };
    for (const auto& [t0, t1] : {std::pair{0.0, 120.0}, std::pair{4.3, 9.1}}) {
        doc.TimeMin = t0, doc.TimeMax = t1;
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(picture(*doc.AltSignal(k), false), picture(*doc.AltSignal(k), true))
                << "set " << k << " from " << t0;
    }
}
