// vemo-cli flash, run as the real tool against the simulated boot loader.
#include "sim/Simulator.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString Fixtures = QStringLiteral(VEMO_TEST_DATA) + "/firmware/";

class CmdFlashTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Start());
        port = QString::fromStdString(sim.PortPath());
    }
    vemosim::Simulator sim;
    QString port;
    QTemporaryDir dir;
};

TEST_F(CmdFlashTest, FlashesTheFileAndPrintsTheLog) {
    const CliResult r = Cli({"flash", "--port", port, Fixtures + "full.hex"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(), "ISP Mode Initiated\n\nFirmware updated successfully.\n");
    EXPECT_EQ(r.err.toStdString(), ""); // no terminal: no progress
    const auto flash = sim.Flash();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(flash.data()),
                         static_cast<qsizetype>(flash.size())),
              ReadAll(Fixtures + "full.bin"));
}

TEST_F(CmdFlashTest, FailuresExitWithTwoAndTheResultCode) {
    // One data digit changed in line 5: nothing reaches the module.
    QByteArray text = ReadAll(Fixtures + "full.hex");
    const qsizetype line5 = text.indexOf(":20006000");
    ASSERT_GT(line5, 0);
    text[line5 + 12] = text[line5 + 12] == '0' ? '1' : '0';
    const QString damaged = dir.filePath("damaged.hex");
    QFile out(damaged);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text);
    out.close();
    CliResult r = Cli({"flash", "--port", port, damaged});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.toStdString(), "Hex file checksum error in line 5.\n");
    EXPECT_EQ(r.err.toStdString(),
              "vemo-cli flash: Hex file checksum error in line 5. (result -1)\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(sim.Received().empty());

    r = Cli({"flash", "--port", port, dir.filePath("none.hex")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith("Unable to open ")) << r.err.toStdString();

    sim.SetSilenceAfter(0);
    r = Cli({"flash", "--port", port, "--blank", Fixtures + "one-byte.hex"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.toStdString(), "vemo-cli flash: Target not responding (result -3)\n");
    const auto got = sim.Received();
    EXPECT_EQ(std::string(got.begin(), got.end()), "UUU"); // --blank: no "P"
}

TEST_F(CmdFlashTest, Usage) {
    const QString hex = Fixtures + "one-byte.hex";
    EXPECT_EQ(Cli({"flash", hex}).status, 1);
    EXPECT_EQ(Cli({"flash", "--port", port}).status, 1);
    EXPECT_EQ(Cli({"flash", "--port", port, hex, hex}).status, 1);
    EXPECT_EQ(Cli({"flash", "--port", port, "--speed", "300", hex}).status, 1);
    EXPECT_EQ(Cli({"flash", "--port", port, "--fast", hex}).status, 1);
    const CliResult help = Cli({"flash", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("usage: vemo-cli flash --port PATH")) << help.out.toStdString();
    EXPECT_TRUE(sim.Received().empty());
}

} // namespace
