// vemo-cli download and config, run as the real tool against the simulated module.
#include "sim/Simulator.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

struct CliResult {
    int status = -1;
    QString out, err;
};

CliResult Cli(const QStringList& args) {
    QProcess p;
    p.start(VEMO_CLI, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLatin1(p.readAllStandardOutput()),
            QString::fromLatin1(p.readAllStandardError())};
}

QStringList Lines(const QString& text) {
    return text.split('\n', Qt::SkipEmptyParts);
}

vemosim::Recording Small(std::vector<double> alt, std::vector<bool> trigger, int interval) {
    vemosim::Recording r;
    r.alt = std::move(alt);
    r.trigger = std::move(trigger);
    r.intervalCount = interval;
    r.triggered = true;
    return r;
}

class CliModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.SetRecordings({Small({10, 20, 30}, {false, true, false}, 10), Small({-10}, {}, 1)});
        ASSERT_TRUE(sim.Start());
        port = QString::fromStdString(sim.PortPath());
    }
    vemosim::Simulator sim;
    QString port;
    QTemporaryDir dir;
};

} // namespace

TEST_F(CliModuleTest, DownloadAllWritesOneSetFilePerSet) {
    const CliResult r = Cli({"download", "--port", port, "--set", "all", "--out", dir.path()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList log = Lines(r.out);
    EXPECT_TRUE(log.contains("Memory contains 2 data sets."));
    EXPECT_TRUE(log.contains("Set 1: Downloaded 3 data samples."));
    EXPECT_TRUE(log.contains("Set 2: Downloaded 1 data samples."));

    const QString date = QDate::currentDate().toString("yyyy-MM-dd");
    const QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{"Alt_" + date + "_1.csv", "Alt_" + date + "_2.csv"}));
    QFile first(dir.filePath(files.value(0)));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray text = first.readAll();
    // three samples one second apart, the middle one a trigger sample
    EXPECT_TRUE(text.startsWith("#Data000\r\n#Time (seconds)\r\n#Altitude (feet)\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Set 1, 3 samples\r\n#3 sec, interval=1 sec, max=30\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\r\n   1.0000,   20.0000, 1")) << text.toStdString();
    EXPECT_TRUE(text.contains("\r\n   2.0000,   30.0000, 0")) << text.toStdString();
    EXPECT_EQ(text.count("\r\n"), 10);
}

TEST_F(CliModuleTest, DownloadOneSetAndFailures) {
    CliResult r = Cli({"download", "--port", port, "--set", "2", "--out", dir.path()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).value(0).endsWith("_2.csv"));

    // a set the module does not hold is the module's answer, not a usage error
    r = Cli({"download", "--port", port, "--set", "3", "--out", dir.path()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("there is no set 3")) << r.err.toStdString();
    EXPECT_EQ(Cli({"download", "--set", "1"}).status, 1);
    EXPECT_EQ(Cli({"download", "--port", port, "--set", "0"}).status, 1);
    EXPECT_EQ(Cli({"download", "--port", port, "--speed", "1234"}).status, 1);
    r = Cli({"download", "--port", dir.filePath("no-such-port")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith("Unable to open Serial Port\n")) << r.err.toStdString();
}

TEST_F(CliModuleTest, ConfigPrintsChangesAndReadsBack) {
    CliResult r = Cli({"config", "--port", port});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QStringList fields = Lines(r.out);
    ASSERT_EQ(fields.size(), 19);
    EXPECT_EQ(fields.first(), "Word0=22017");
    EXPECT_EQ(fields[1], "IntervalCount=1");
    EXPECT_EQ(fields.last(), "Byte27=0");
    const QString help = Cli({"config", "--help"}).out; // every field, its values, its meaning
    for (const QString& field : fields)
        EXPECT_TRUE(help.contains(
            QRegularExpression("\\n  " + field.section('=', 0, 0) + " +-?\\d+ to \\d+ +\\S")))
            << field.toStdString();
    EXPECT_TRUE(help.contains(QRegularExpression("AltUnit +0 to 2 +.*0 feet, 1 yards, 2 meters")));

    r = Cli({"config", "--port", port, "AutoStartAltitude=-5", "IntervalCount=0x20", "Byte27=255"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    fields = Lines(r.out);
    EXPECT_TRUE(fields.contains("AutoStartAltitude=65531"));
    EXPECT_TRUE(fields.contains("IntervalCount=32"));
    EXPECT_TRUE(fields.contains("Byte27=255"));
    EXPECT_TRUE(fields.contains("Word0=22017")); // untouched fields go back as they were
    const auto block = sim.ConfigBlock();
    EXPECT_EQ(block[18], 0xFF);
    EXPECT_EQ(block[19], 0xFB);
    EXPECT_EQ(block[27], 0xFF);

    EXPECT_EQ(Cli({"config", "--port", port, "AutoStopSec=70000"}).status, 1);
    EXPECT_EQ(Cli({"config", "--port", port, "AltUnit=256"}).status, 1);
    // codes the Configure page has no item for would make a block the program refuses
    for (const char* code : {"AltUnit=3", "AutoStart=4", "AutoStop=3", "AutoZero=4"})
        EXPECT_EQ(Cli({"config", "--port", port, code}).status, 1) << code;
    EXPECT_EQ(sim.ConfigBlock()[4], 0);
    EXPECT_EQ(Cli({"config", "--port", port, "Nothing=1"}).status, 1);
    EXPECT_EQ(Cli({"config", "--port", port, "AltUnit"}).status, 1);
}

TEST_F(CliModuleTest, ConfigFailsWhenTheModuleIsSilent) {
    sim.SetSilenceAfter(0);
    const CliResult r = Cli({"config", "--port", port});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("Unable to read configuration!")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(CliModuleTest, ConfigRefusesABlockThatIsNoConfiguration) {
    sim.SetGarbage(true);
    const CliResult r = Cli({"config", "--port", port, "Byte27=1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("Configuration data not understood.")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(sim.ConfigBlock()[27], 0); // nothing was written
}

// The module goes away while config awaits its block, or the block comes after the 5 s download
// waits for it: nothing is printed or saved without it, and the status is 2.
TEST_F(CliModuleTest, WithoutTheModulesConfigurationNothingIsPrintedOrSaved) {
    sim.SetSilenceAfter(0);
    QProcess config;
    config.start(VEMO_CLI, {"config", "--port", port});
    QThread::msleep(1000);
    sim.ClosePort();
    ASSERT_TRUE(config.waitForFinished(60000));
    EXPECT_EQ(config.exitCode(), 2);
    EXPECT_TRUE(config.readAllStandardOutput().isEmpty());

    vemosim::Simulator late; // the rest it answers on time
    late.SetLateCommands("r", 5500);
    ASSERT_TRUE(late.Start());
    const CliResult r = Cli({"download", "--port", QString::fromStdString(late.PortPath()),
                             "--out", dir.path()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("Unable to read configuration!")) << r.err.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// A GPS receiver on the port chosen by mistake: each module command says so once on standard
// error and ends with status 2.
TEST_F(CliModuleTest, ADeviceThatKeepsSendingEndsEveryModuleCommandWithStatusTwo) {
    sim.SetStreaming(true);
    for (QStringList command : {QStringList{"config"}, {"info"}, {"download", "--out", dir.path()}}) {
        const CliResult r = Cli(command << "--port" << port);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.count("The device on this port keeps sending: it is not a Vemo module, or "
                              "the module is still sending an interrupted download.\n"),
                  1)
            << r.err.toStdString();
    }
}
