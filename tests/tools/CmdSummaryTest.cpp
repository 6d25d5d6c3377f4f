// vemo-cli import-sim and summary: a simulator's export made into a set file, the summary of
// sets in their own units, the logbook, and the exit statuses.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct CliRun {
    int status = -1;
    QByteArray out, err;
};

CliRun Cli(const QStringList& args) {
    QProcess p;
    p.start(VEMO_CLI, args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString Fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";
const QString HandMade = Fixtures + "sim_handmade.csv";
const QByteArray SkippedRow = "1 row skipped (time or altitude not a number, or out of time order)";

} // namespace

TEST(CliImportSim, WritesASetFileWithEventsAsTriggers) {
    QTemporaryDir dir;
    const QString feet = dir.filePath("feet.csv"), meters = dir.filePath("meters.csv");
    const CliRun r = Cli({"import-sim", HandMade, feet});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(r.out, feet.toLocal8Bit() + ": 13 samples, 4 events, 4 trigger marks\n");
    EXPECT_EQ(r.err, HandMade.toLocal8Bit() + ": " + SkippedRow + "\n");
    const QByteArray text = Read(feet);
    EXPECT_TRUE(text.startsWith("#Hand-made test rock\r\n#Time (sec)\r\n#Altitude (Feet)\r\n"
                                "#Simulation: Hand-made test rocket with a long name\r\n"
                                "#Simulation sim_handmade.csv, 13 samples, " +
                                SkippedRow +
                                "\r\n#Events: LAUNCH 0 s, BURNOUT 1.05 s, APOGEE 6 s, "
                                "GROUND_HIT 12.4 s\r\n#"))
        << text.constData();
    // The events' nearest samples carry the trigger flag.
    for (const char* row : {"   0.0000,    0.0000, 1, 0\r\n", "   1.0000,   65.6168, 1, 0\r\n",
                            "   6.0000,  393.7008, 1, 0\r\n", "  12.5000,    0.0000, 1, 0\r\n",
                            "   0.5000,   16.4042, 0, 0\r\n"})
        EXPECT_TRUE(text.contains(row)) << row;

    ASSERT_EQ(Cli({"import-sim", HandMade, meters, "--unit", "meters"}).status, 0);
    EXPECT_TRUE(Read(meters).contains("#Altitude (Meters)\r\n"));
    EXPECT_TRUE(Read(meters).contains("   6.0000,  120.0000, 1, 0\r\n"));
}

TEST(CliImportSim, ExitStatuses) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out.csv");
    EXPECT_EQ(Cli({"import-sim", HandMade}).status, 1);
    EXPECT_EQ(Cli({"import-sim", HandMade, out, "--unit", "furlongs"}).status, 1);
    EXPECT_EQ(Cli({"import-sim", HandMade, out, "--unit"}).status, 1);

    const CliRun missing = Cli({"import-sim", dir.filePath("none.csv"), out});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Unable to open " + dir.filePath("none.csv").toLocal8Bit() + "!\n");

    const QString velocity = dir.filePath("velocity.csv");
    QFile f(velocity);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# Rocket\r\n# Time (s),Vertical velocity (m/s)\r\n0,0\r\n");
    f.close();
    const CliRun noAltitude = Cli({"import-sim", velocity, out});
    EXPECT_EQ(noAltitude.status, 2);
    EXPECT_EQ(noAltitude.err,
              velocity.toLocal8Bit() + ": the column header names no altitude column\n");
    EXPECT_FALSE(QFile::exists(out));

    EXPECT_EQ(Cli({"import-sim", HandMade, dir.filePath("no/out.csv")}).status, 2);
}

TEST(CliSummary, BlocksInEachSetsUnitsAndALogbook) {
    QTemporaryDir dir;
    const QString meters = dir.filePath("meters.csv");
    ASSERT_EQ(Cli({"import-sim", HandMade, meters, "--unit", "meters"}).status, 0);

    // The set file names meters on its altitude line; the summary speaks its unit.
    const CliRun block = Cli({"summary", meters});
    ASSERT_EQ(block.status, 0) << block.err.constData();
    EXPECT_EQ(block.out, "File:          " + meters.toLocal8Bit() +
                             "\n"
                             "Data set:      Hand-made test rock\n"
                             "Note:          Simulation sim_handmade.csv, 13 samples, " +
                             SkippedRow +
                             "\n"
                             "Samples:       13\n"
                             "Apogee:        120.00 Meters at 6.00 s\n"
                             "Ground level:  2.50 Meters\n"
                             "Launch:        0.00 s\n"
                             "Landing:       12.50 s\n"
                             "Flight time:   12.50 s\n"
                             "Max climb:     37.14 Meters/s at 1.00 s\n"
                             "Max descent:   21.00 Meters/s at 10.00 s\n"
                             "Triggers:      0.00, 1.00, 6.00, 12.50 s\n"
                             "Climb marks:   none\n");

    // The logbook: one row per set of every file, a simulation export read as "Load" reads
    // it, texts with commas quoted; a missing file fails the run but not the other rows.
    const CliRun logbook = Cli(
        {"summary", "--csv", meters, Fixtures + "plot3.csv", HandMade, dir.filePath("none.csv")});
    EXPECT_EQ(logbook.status, 2);
    EXPECT_TRUE(logbook.err.contains("Unable to open " + dir.filePath("none.csv").toLocal8Bit()));
    const QList<QByteArray> rows = logbook.out.split('\n');
    ASSERT_EQ(rows.size(), 7) << logbook.out.constData(); // header, 1 + 3 + 1 sets, final LF
    EXPECT_EQ(rows[0], "File,Data set,Date note,Samples,Unit,Apogee,Apogee time (s),Launch (s),"
                       "Landing (s),Flight time (s),Max climb rate (Unit/s),"
                       "Max descent rate (Unit/s),Triggers");
    EXPECT_EQ(rows[1], meters.toLocal8Bit() +
                           ",Hand-made test rock,\"Simulation sim_handmade.csv, 13 samples, " +
                           SkippedRow + "\",13,Meters,120.00,6.00,0.00,12.50,12.50,37.14,21.00,4");
    EXPECT_TRUE(rows[2].startsWith(Fixtures.toLocal8Bit() + "plot3.csv,Launch,"));
    // Loaded directly, in the plot's default unit.
    EXPECT_TRUE(rows[5].contains(",13,Feet,393.70,6.00,")) << rows[5].constData();
    EXPECT_EQ(Cli({"summary"}).status, 1);
    EXPECT_EQ(Cli({"summary", meters, "--table"}).status, 1);
}
