// A flight simulator's CSV export read as a data set: units, events, odd rows, and "Load".
#include "data/SimImport.h"
#include "data/DataFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>

using namespace vemo;

namespace {

const QString Fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";

std::string Rows(int n) {
    std::string text = "# Long\n# Time (s),Altitude (m)\n";
    for (int i = 0; i < n; ++i)
        text += std::to_string(i) + ",1\n";
    return text;
}

} // namespace

TEST(SimImport, ReadsExportsAndSaysWhatItCannotRead) {
    struct Case {
        const char* Name;
        std::string Text;
        int Unit;
        bool Recognised;
        const char* Error; // nullptr when the file reads
        int Samples = 0;
        double LastTime = 0, LastAlt = 0;
        int Events = 0, Skipped = 0, Cut = 0;
        const char* Title = "";
    };
    // The program's own set file, whose first note happens to read like a column header.
    const std::string setFile = "#Flight\r\n#Time (sec)\r\n#Altitude (Feet)\r\n"
                                "#Time (s),Altitude (m)\r\n#\r\n#\r\n#0,0,20,20,0\r\n"
                                "   1.0000,    5.0000, 0\r\n";
    const Case cases[] = {
        {"metric, Windows line ends",
         "# H\xc3\xb6henrakete \xce\xa9\r\n# Time (s),Altitude (m),Vertical velocity "
         "(m/s)\r\n0,0,0\r\n"
         "1,100,NaN\r\n2,30.48,NaN\r\n",
         UnitFeet, true, nullptr, 3, 2, 100, 0, 0, 0, "H\xf6henrakete ?"}, // UTF-8 made 8-bit
        {"imperial to meters", "# Time (s),Altitude (ft)\n0,0\n1,328.0839895\n2,1000\n", UnitMeters,
         true, nullptr, 3, 2, 304.8},
        {"NaN, bad and backward rows; semicolons",
         "# Time (s);Altitude (m);Thrust (N)\n0;0;NaN\n1;NaN;5\n2;10;NaN\nx;y;z\n3\n1.5;1;1\n",
         UnitYards, true, nullptr, 2, 2, 10 / 0.9144, 0, 4},
        {"milliseconds and events",
         "# Time (ms),Altitude (m)\n# Event APOGEE occurred at t=1 seconds\n0,0\n1000,5\n"
         "# Event GROUND_HIT occurred at t=1.5 seconds\n",
         UnitMeters, true, nullptr, 2, 1, 5, 2},
        {"altitude above sea level", "# Time (s),Altitude above sea level (m)\n0,100\n", UnitMeters,
         true, nullptr, 1, 0, 100},
        {"more rows than a set holds", Rows(MaxSamples + 10), UnitMeters, true, nullptr, MaxSamples,
         MaxSamples - 1, 1, 0, 0, 10, "Long"},
        {"no altitude column", "# Time (s),Vertical velocity (m/s)\n0,0\n", UnitFeet, true,
         "the column header names no altitude column"},
        {"unknown unit", "# Time (s),Altitude (furlong)\n0,0\n", UnitFeet, true,
         "unknown altitude unit \"furlong\""},
        {"a time in an unknown unit", "# Zeit (Tage);H\xc3\xb6he (m)\n0;0\n", UnitFeet, true,
         "unknown time unit \"Tage\""},
        {"no rows", "# Time (s),Altitude (m)\n# Event LAUNCH occurred at t=0 seconds\n", UnitFeet,
         true, "no data rows with a time and an altitude"},
        {"no header", "# just a comment\n0,0\n", UnitFeet, false,
         "no column header naming a time and an altitude column"},
        {"a set file", setFile, UnitFeet, false,
         "no column header naming a time and an altitude column"},
        {"a plot file", "Vemo Plot\r\n# Time (s),Altitude (m)\r\n", UnitFeet, false,
         "no column header naming a time and an altitude column"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(IsSimulationExport(c.Text), c.Recognised);
        Simulation sim;
        std::string error;
        EXPECT_EQ(ReadSimulation(c.Text, c.Unit, sim, error), c.Error == nullptr);
        if (c.Error) {
            EXPECT_EQ(error, c.Error);
            continue;
        }
        ASSERT_EQ(static_cast<int>(sim.Time.size()), c.Samples);
        EXPECT_DOUBLE_EQ(sim.Time.back(), c.LastTime);
        EXPECT_NEAR(sim.Alt.back(), c.LastAlt, 1e-6);
        EXPECT_EQ(static_cast<int>(sim.Events.size()), c.Events);
        EXPECT_EQ(sim.Skipped, c.Skipped);
        EXPECT_EQ(sim.Cut, c.Cut);
        EXPECT_EQ(sim.Title, c.Title);
        EXPECT_EQ(ImportNotice(sim).empty(), c.Skipped == 0 && c.Cut == 0);
    }
}

// "Load" reads an export in the unit of the plot's altitude label, else in feet.
TEST(SimImport, LoadReadsAnExportInThePlotsUnit) {
    for (auto [label, apogee] : {std::pair{"Altitude (Feet)", 120 / 0.3048},
                                 {"Altitude (Meters)", 120.0},
                                 {"Altitude (Yards)", 120 / 0.9144},
                                 {"Height", 120 / 0.3048}}) {
        PlotDocument doc;
        doc.YAxisLabel = label;
        const LoadResult r = LoadDataFile(doc, Fixtures + "sim_handmade.csv");
        ASSERT_TRUE(r.Done) << r.Error.toStdString();
        const std::vector<double>& alt = doc.AltSignal(doc.ActiveSet())->Samples.Alt.Values();
        EXPECT_NEAR(*std::max_element(alt.begin(), alt.end()), apogee, 1e-9) << label;
    }
}

// The export's file name enters the set's notes as 8-bit text, like every text of the set.
TEST(SimImport, TheFileNameEntersTheNotesAs8BitText) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf8("SkyDart54 \u00c5re-sim.csv"));
    ASSERT_TRUE(QFile::copy(Fixtures + "sim_handmade.csv", path));
    PlotDocument doc;
    ASSERT_TRUE(LoadDataFile(doc, path).Done);
    EXPECT_EQ(doc.AltSignal(doc.SetCount() - 1)->Note2.substr(0, 33),
              "Simulation SkyDart54 \xc5re-sim.csv,");
}
