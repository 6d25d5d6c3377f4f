// One plot, one unit: the unit a label names, and what each kind of file does to a plot that
// holds sets of a unit, or only the placeholder.
#include "data/SetUnits.h"
#include "data/DataFile.h"

#include <gtest/gtest.h>

using namespace vemo;

TEST(SetUnits, TheUnitALabelNames) {
    const std::pair<const char*, int> cases[] = {
        {"Altitude (Feet)", UnitFeet},
        {"H\xf6he (m)", UnitMeters},
        {"Altitude (M\xe8tres)", UnitMeters},
        {"Yards above the pad", UnitYards},
        {"Height", UnitNone},
        {"I'm at the top (of the hill)", UnitNone},
    };
    for (const auto& [label, unit] : cases)
        EXPECT_EQ(UnitOfLabel(label), unit) << label;
}

// A plot of the placeholder alone takes the file's unit and label; a plot of feet keeps both,
// converts the file's sets and range, and says so once.
TEST(SetUnits, FilesJoinThePlotInItsUnit) {
    const std::string meters = "#S\r\n#T\r\n#Altitude (meters)\r\n#\r\n#\r\n#\r\n#0,0,1,1,0\r\n"
                               "0, 0, 0\r\n1, 30.48, 0\r\n";
    const std::string plot = "Vemo Plot\r\n#P\r\n#T\r\n#Altitude (meters)\r\n#\r\n#\r\n#\r\n"
                             "#0,-3.048,10,30.48\r\n! 255, 1, 255, 0, 255, 7\r\n" +
                             meters;
    const QString told = "f.csv was recorded in meters; converted to feet like the other sets.";
    struct Case {
        bool PlotInFeet;
        std::string Text;
        double Altitude; // of the new set's second sample
        const char* Label;
        double AltMin;
    };
    const Case cases[] = {
        {false, meters, 30.48, "Altitude (meters)", 0},
        {true, meters, 100, "Altitude (Feet)", 0},
        {true, "0, 0\r\n1, 30.48\r\n", 30.48, "Altitude (Feet)", 0}, // names no unit
        {false, plot, 30.48, "Altitude (meters)", -3.048},
        {true, plot, 100, "Altitude (Feet)", -10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text.substr(0, 10) +
                     (c.PlotInFeet ? " into feet" : " into the placeholder"));
        PlotDocument doc;
        doc.CreateDataSet(); // the placeholder: no unit
        if (c.PlotInFeet) doc.CreateDataSet()->Unit = UnitFeet;
        const LoadResult r = ReadDataText(doc, c.Text, "f.csv");
        ASSERT_TRUE(r.Done);
        const Signal& added = *doc.AltSignal(doc.SetCount() - 1);
        EXPECT_NEAR(added.Samples.Alt[1], c.Altitude, 1e-9);
        EXPECT_EQ(added.Unit, UnitOfLabel(c.Label));
        EXPECT_EQ(doc.YAxisLabel, c.Label);
        EXPECT_NEAR(doc.AltMin, c.AltMin, 1e-9);
        EXPECT_EQ(r.Notices, c.Altitude == 100 ? QStringList{told} : QStringList{});
        EXPECT_EQ(doc.AltSignal(0)->Unit, UnitNone); // the placeholder's ramp stays as it was
    }
}

// A set is written and summed up in its own unit, even under a label edited to name another.
TEST(SetUnits, ASetIsWrittenAndSummedUpInItsOwnUnit) {
    PlotDocument doc;
    doc.CreateDataSet()->Unit = UnitMeters;
    doc.CreateDataSet(); // no unit: the plot's
    doc.YAxisLabel = "Altitude (Feet)";
    EXPECT_EQ(SetAxisLabel(doc, 0), "Altitude (meters)");
    EXPECT_EQ(SetAxisLabel(doc, 1), "Altitude (Feet)");
    EXPECT_EQ(SetUnitWord(doc, 1), "meters");
}
