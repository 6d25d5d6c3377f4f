// vemo-cli import-sim and summary: a simulator's export made into a set file, the summary of
// sets in their own units, the logbook, and the exit statuses.
#include "CliRun.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";
const QString HandMade = Fixtures + "sim_handmade.csv";
const QString SkippedRow = "1 row skipped (time or altitude not a number, or out of time order)";

} // namespace

TEST(CliImportSim, WritesASetFileNamedAndNotedAsASimulation) {
    QTemporaryDir dir;
    const QString feet = dir.filePath("feet.csv");
    const CliRun r = Cli({"import-sim", HandMade, feet});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, feet + ": 13 samples, 4 events, 4 trigger marks\n");
    EXPECT_EQ(r.err, HandMade + ": " + SkippedRow + "\n");
    const QByteArray text = ReadFile(feet);
    EXPECT_TRUE(text.startsWith("#Hand-made test rock\r\n#Time (sec)\r\n#Altitude (feet)\r\n"
                                "#Simulation: Hand-made test rocket with a long name\r\n"
                                "#Simulation sim_handmade.csv, 13 samples, " +
                                SkippedRow.toLatin1() +
                                "\r\n#Events: LAUNCH 0 s, BURNOUT 1.05 s, APOGEE 6 s, "
                                "GROUND_HIT 12.4 s\r\n#"))
        << text.constData();
    EXPECT_TRUE(text.contains("   6.0000,  393.7008, 1, 0\r\n")); // apogee in feet, a trigger
}

TEST(CliImportSim, ExitStatuses) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out.csv"), none = dir.filePath("none.csv");
    for (const QStringList& usage :
         {QStringList{HandMade}, {HandMade, out, "--unit", "furlongs"}, {HandMade, out, "--unit"}})
        EXPECT_EQ(Cli(QStringList{"import-sim"} + usage).status, 1)
            << usage.join(' ').toStdString();
    EXPECT_EQ(Cli({"import-sim", HandMade, dir.filePath("no/out.csv")}).status, 2);
    const CliRun missing = Cli({"import-sim", none, out});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Unable to open " + none + "!\n");

    const QString velocity = dir.filePath("velocity.csv");
    QFile f(velocity);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# Rocket\r\n# Time (s),Vertical velocity (m/s)\r\n0,0\r\n");
    f.close();
    const CliRun noAltitude = Cli({"import-sim", velocity, out});
    EXPECT_EQ(noAltitude.status, 2);
    EXPECT_EQ(noAltitude.err, velocity + ": the column header names no altitude column\n");
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CliSummary, BlocksInEachSetsUnitsAndALogbook) {
    QTemporaryDir dir;
    const QString meters = dir.filePath("meters.csv"), none = dir.filePath("none.csv");
    ASSERT_EQ(Cli({"import-sim", HandMade, meters, "--unit", "meters"}).status, 0);

    // The set file names meters on its altitude line; the summary speaks its unit.
    const CliRun block = Cli({"summary", meters});
    ASSERT_EQ(block.status, 0) << block.err.toStdString();
    EXPECT_EQ(block.out, "File:          " + meters + "\n" +
                             "Data set:      Hand-made test rock\n"
                             "Note:          Simulation sim_handmade.csv, 13 samples, " +
                             SkippedRow + "\n" +
                             "Samples:       13\n"
                             "Apogee:        120.00 meters at 6.00 s\n"
                             "Ground level:  0.00 meters\n"
                             "Launch:        0.00 s\n"
                             "Landing:       12.00 s\n"
                             "Flight time:   12.00 s\n"
                             "Max climb:     31.90 meters/s at 1.00 s\n"
                             "Max descent:   21.00 meters/s at 10.00 s\n"
                             "Triggers:      0.00, 1.00, 6.00, 12.50 s\n"
                             "Climb marks:   none\n");

    // One row per set of every file, a simulation export read as "Load" reads it (in feet),
    // texts with commas quoted; a missing file fails the run but not the other rows.
    const CliRun logbook =
        Cli({"summary", "--csv", meters, none, Fixtures + "plot3.csv", HandMade});
    EXPECT_EQ(logbook.status, 2);
    EXPECT_TRUE(logbook.err.contains("Unable to open " + none)) << logbook.err.toStdString();
    const QStringList rows = logbook.out.split('\n');
    ASSERT_EQ(rows.size(), 7) << logbook.out.toStdString(); // header, 1 + 3 + 1 sets, final LF
    EXPECT_EQ(rows[0], "File,Data set,Flight,Date note,Samples,Unit,Apogee,Apogee time (s),"
                       "Launch (s),Landing (s),Flight time (s),Max climb rate (Unit/s),"
                       "Max descent rate (Unit/s),Triggers");
    EXPECT_EQ(rows[1], meters + ",Hand-made test rock,1,\"Simulation sim_handmade.csv, 13 " +
                           "samples, " + SkippedRow +
                           "\",13,meters,120.00,6.00,0.00,12.00,12.00,31.90,21.00,4");
    EXPECT_TRUE(rows[2].startsWith(Fixtures + "plot3.csv,Launch,")) << rows[2].toStdString();
    EXPECT_TRUE(rows[5].contains(",13,feet,393.70,6.00,")) << rows[5].toStdString();
    EXPECT_EQ(Cli({"summary"}).status, 1);
    EXPECT_EQ(Cli({"summary", meters, "--table"}).status, 1);
}
