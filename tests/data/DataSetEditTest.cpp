// Applying the Data Properties dialog, Fix Drift and the photo list.
#include "data/DataSetEdit.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace vemo;

namespace {

// A document whose set 0 has samples at times 0, 1, 2 (altitudes 100, 110, 120) and a
// trigger at time 1.
Signal* ThreeSamples(PlotDocument& doc) {
    doc.Clear();
    Signal* alt = doc.CreateDataSet();
    alt->Samples.Clear();
    for (int i = 0; i < 3; ++i)
        alt->Samples.Append(i, 100 + 10 * i);
    alt->TriggerSignal->Samples.Append(1, 110);
    doc.SetListBox->Select(0);
    return alt;
}

} // namespace

TEST(ApplySetProperties, TimeOffsetShiftsSamplesAndTriggersEveryTime) {
    PlotDocument doc;
    Signal* alt = ThreeSamples(doc);
    SetProperties p = ReadSetProperties(doc, 0);
    EXPECT_EQ(p.TimeOffset, "0.000000");
    EXPECT_EQ(p.TimeScale, "1.000000");
    p.TimeOffset = "10";
    ApplySetProperties(doc, 0, p);
    EXPECT_EQ(alt->Samples.Time, (std::vector<double>{10, 11, 12}));
    EXPECT_EQ(alt->TriggerSignal->Samples.Time[0], 11);
    ApplySetProperties(doc, 0, p); // the edit still holds 10
    EXPECT_EQ(alt->Samples.Time, (std::vector<double>{20, 21, 22}));
    EXPECT_EQ(alt->TriggerSignal->Samples.Time[0], 21);
    EXPECT_EQ(alt->TimeOffset, 0.0);
    EXPECT_EQ(alt->Samples.Alt, (std::vector<double>{100, 110, 120}));

    p.TimeOffset = "0";
    p.AltOffset = "-100.5";
    ApplySetProperties(doc, 0, p);
    EXPECT_EQ(alt->Samples.Alt, (std::vector<double>{-0.5, 9.5, 19.5}));
    EXPECT_EQ(alt->TriggerSignal->Samples.Alt[0], 9.5);
}

TEST(ApplySetProperties, TinyOrUnreadableOffsetsChangeNothing) {
    PlotDocument doc;
    Signal* alt = ThreeSamples(doc);
    SetProperties p = ReadSetProperties(doc, 0);
    for (const char* text : {"0.000005", "-0.00001", "abc", "", "nan", "inf"}) {
        p.TimeOffset = p.AltOffset = text;
        ApplySetProperties(doc, 0, p);
        EXPECT_EQ(alt->Samples.Time, (std::vector<double>{0, 1, 2})) << text;
        EXPECT_EQ(alt->Samples.Alt, (std::vector<double>{100, 110, 120})) << text;
    }
}

TEST(ApplySetProperties, StoresStylesScalesAndCutsTexts) {
    PlotDocument doc;
    ThreeSamples(doc);
    doc.CreateDataSet(); // the active set is now 1
    SetProperties p = ReadSetProperties(doc, 0);
    p.Name = "ABCDEFGHIJKLMNOPQRSTUVWXY"; // 25 characters
    p.Note2 = std::string(300, 'n');
    p.LineColor = 0x123456;
    p.PointColor = 0x654321;
    p.TrigColor = 0x0000FF;
    p.LineStyle = LineDashDot;
    p.PointStyle = PointX;
    p.TrigStyle = PointCircle;
    p.AltScale = "2.5";
    p.TimeScale = "x"; // does not convert: kept
    ApplySetProperties(doc, 0, p);
    const Signal* alt = doc.AltSignal(0);
    EXPECT_EQ(alt->Name, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(doc.SetListBox->Item(0), "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(doc.ActiveSetCombo->Item(0), "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(doc.SetListBox->Selected(), 0);
    EXPECT_EQ(doc.ActiveSet(), 1);
    EXPECT_EQ(alt->Note2.size(), 255u);
    EXPECT_EQ(alt->LineColor, 0x123456u);
    EXPECT_EQ(alt->PointColor, 0x654321u);
    EXPECT_EQ(alt->TriggerSignal->PointColor, 0x0000FFu);
    EXPECT_EQ(alt->TriggerSignal->LineColor, Palette[0]);
    EXPECT_EQ(alt->LineStyle, LineDashDot);
    EXPECT_EQ(alt->PointStyle, PointX);
    EXPECT_EQ(alt->TriggerSignal->PointStyle, PointCircle);
    EXPECT_EQ(alt->AltScale, 2.5);
    EXPECT_EQ(alt->TimeScale, 1.0);
    EXPECT_EQ(ReadSetProperties(doc, 0).AltScale, "2.500000");
}

TEST(FixDrift, RampBecomesFlatAndTriggersFollow) {
    PlotDocument doc;
    doc.Clear();
    Signal* alt = doc.CreateDataSet();
    alt->Samples.Clear();
    for (int i = 0; i < 100; ++i)
        alt->Samples.Append(i * 0.5, 10.0 + 0.1 * i);
    alt->TriggerSignal->Samples.Append(5.0005, 0);  // sample 10, within 0.001 s
    alt->TriggerSignal->Samples.Append(7.25, -123); // between samples: keeps its altitude
    ASSERT_TRUE(FixDrift(doc, 0));
    for (int i = 0; i < 100; ++i)
        EXPECT_NEAR(alt->Samples.Alt[i], 10.0, 1e-9) << i;
    EXPECT_EQ(alt->Samples.Time[99], 49.5);
    EXPECT_NEAR(alt->TriggerSignal->Samples.Alt[0], 10.0, 1e-9);
    EXPECT_EQ(alt->TriggerSignal->Samples.Alt[1], -123);

    // Times out of order (a hand-edited file): triggers still find their sample, the last
    // matching one winning.
    alt->Samples.SetTime(50, 5.0);
    alt->Samples.SetAlt(50, 77);
    ASSERT_TRUE(FixDrift(doc, 0));
    EXPECT_EQ(alt->TriggerSignal->Samples.Alt[0], alt->Samples.Alt[50]);
}

TEST(FixDrift, FlightBetweenTheMinimaKeepsItsShape) {
    PlotDocument doc;
    doc.Clear();
    Signal* alt = doc.CreateDataSet();
    alt->Samples.Clear();
    // Ground at 5 rising to 25 by drift over 200 samples, with a flight in the middle and
    // the lowest readings at samples 3 and 190.
    for (int i = 0; i < 200; ++i) {
        double v = 5.0 + 0.1 * i + (i > 50 && i < 150 ? 500.0 : 0.0);
        if (i == 3) v = 4.0;
        if (i == 190) v = 20.0;
        alt->Samples.Append(i, v);
    }
    alt->TriggerSignal->Samples.Append(100, 0);
    doc.Info3 = "Flight 2, max=812";
    ASSERT_TRUE(FixDrift(doc, 0));
    const auto& a = alt->Samples.Alt;
    const double slope = (20.0 - 4.0) / (190 - 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(a[i], 4.0);
    for (int i = 190; i < 200; ++i)
        EXPECT_NEAR(a[i], 4.0, 1e-9);
    EXPECT_NEAR(a[100], 5.0 + 10.0 + 500.0 - 97 * slope, 1e-9);
    EXPECT_NEAR(alt->TriggerSignal->Samples.Alt[0], a[100], 1e-12);
    double highest = -1e9;
    for (double v : a)
        highest = std::max(highest, v);
    char expected[64];
    std::snprintf(expected, sizeof expected, "Flight 2, max=%lg", highest);
    EXPECT_EQ(doc.Info3, expected);
}

TEST(FixDrift, InfoWithoutMaxAndShortSetsAreLeftAlone) {
    PlotDocument doc;
    doc.Clear();
    Signal* alt = doc.CreateDataSet();
    doc.Info3 = "no maximum here";
    ASSERT_TRUE(FixDrift(doc, 0)); // the placeholder ramp has 21 samples
    EXPECT_EQ(doc.Info3, "no maximum here");

    alt->Samples.Resize(9);
    const auto before = alt->Samples.Alt;
    EXPECT_FALSE(FixDrift(doc, 0));
    EXPECT_EQ(alt->Samples.Alt, before);
    EXPECT_FALSE(FixDrift(doc, 5));
}

TEST(PhotoList, HeaderAndOneRowPerTrigger) {
    PlotDocument doc;
    Signal* alt = ThreeSamples(doc);
    alt->TriggerSignal->Samples.Append(12.5, 1234.25);
    doc.Info1 = "Field A";
    EXPECT_EQ(PhotoListText(doc, 0), "#Altitude versus Time\r\n#Time (sec)\r\n#Altitude (Feet)\r\n"
                                     "#Field A\r\n#\r\n#\r\n"
                                     "# pic    time   altitude\r\n"
                                     "    1    1.00     110.00\r\n"
                                     "    2   12.50    1234.25\r\n");
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(ExportPhotoList(doc, 0, dir.filePath("p.txt"), &error));
    QFile f(dir.filePath("p.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), PhotoListText(doc, 0));
    EXPECT_FALSE(ExportPhotoList(doc, 0, dir.filePath("none/p.txt"), &error));
    EXPECT_EQ(error, "Unable to open " + dir.filePath("none/p.txt") + "!");
}
