// vemo-cli save: merging files into a plot file, extracting one set, and its exit statuses.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct CliRun {
    int status = -1;
    QByteArray err;
};

CliRun Cli(const QStringList& args) {
    QProcess p;
    p.start(VEMO_CLI, QStringList{"save"} + args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString Fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";

} // namespace

TEST(CliSave, PlotFileInPlotFileOutIsIdentical) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out.csv");
    EXPECT_EQ(Cli({out, Fixtures + "plot3.csv"}).status, 0);
    EXPECT_EQ(Read(out), Read(Fixtures + "plot3.csv"));
}

TEST(CliSave, MergesInputsAndExtractsOneSet) {
    QTemporaryDir dir;
    const QString merged = dir.filePath("merged.csv");
    ASSERT_EQ(Cli({merged, Fixtures + "plot3.csv", Fixtures + "headerless3.csv"}).status, 0);
    const QByteArray text = Read(merged);
    EXPECT_TRUE(text.startsWith("Vemo Plot\r\n#Flight tests\r\n"));
    EXPECT_EQ(text.count("\r\n! "), 4);
    // The headerless set was the fourth read, so it got the fourth default name and colour.
    EXPECT_TRUE(text.contains("\r\n! 16711935, 1, 16711935, 0, 16711935, 7\r\n#Data003\r\n"));

    const QString one = dir.filePath("one.csv");
    ASSERT_EQ(Cli({one, merged, "--set", "3"}).status, 0);
    EXPECT_EQ(Read(one), "#Data003\r\n#Time (sec)\r\n#Altitude (Feet)\r\n#\r\n#\r\n#\r\n"
                         "#0,-5,120.5,900,0\r\n"
                         "  12.5000,  300.0000, 0\r\n"
                         "  13.5000,  310.0000, 1\r\n"
                         "  14.5000,  305.5000, 0\r\n");
}

TEST(CliSave, ExitStatuses) {
    QTemporaryDir dir;
    EXPECT_EQ(Cli({dir.filePath("x.csv")}).status, 1);
    EXPECT_EQ(Cli({dir.filePath("x.csv"), Fixtures + "plot3.csv", "--set"}).status, 1);
    EXPECT_EQ(Cli({dir.filePath("x.csv"), Fixtures + "plot3.csv", "--set", "3"}).status, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.csv")));

    const CliRun missing = Cli({dir.filePath("x.csv"), dir.filePath("missing.csv")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Unable to open " + dir.filePath("missing.csv").toLocal8Bit() + "!\n");
    const CliRun unwritable = Cli({dir.filePath("no/x.csv"), Fixtures + "plot3.csv"});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_TRUE(unwritable.err.startsWith("Unable to open ")) << unwritable.err.constData();
}
