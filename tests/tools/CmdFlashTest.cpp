// vemo-cli flash, run as the real tool against the simulated boot loader.
#include "CliRun.h"
#include "sim/Simulator.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

const QString Fixtures = QStringLiteral(VEMO_TEST_DATA) + "/firmware/";

class CmdFlashTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Start());
        port = QString::fromStdString(sim.PortPath());
    }
    std::string Received() const {
        const auto got = sim.Received();
        return {got.begin(), got.end()};
    }
    vemosim::Simulator sim;
    QString port;
    QTemporaryDir dir;
};

} // namespace

TEST_F(CmdFlashTest, FlashesTheFileAndPrintsTheLog) {
    const CliRun r = Cli({"flash", "--port", port, Fixtures + "full.hex"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "ISP Mode Initiated\n\nFirmware updated successfully.\n");
    EXPECT_EQ(r.err, ""); // no terminal: no progress
    const auto flash = sim.Flash();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(flash.data()),
                         static_cast<qsizetype>(flash.size())),
              ReadFile(Fixtures + "full.bin"));
}

TEST_F(CmdFlashTest, FailuresExitWithTwoAndTheResultCodeUsageErrorsWithOne) {
    // One data digit changed in line 5: nothing reaches the module.
    QByteArray text = ReadFile(Fixtures + "full.hex");
    const qsizetype line5 = text.indexOf(":20006000");
    ASSERT_GT(line5, 0);
    text[line5 + 12] = text[line5 + 12] == '0' ? '1' : '0';
    const QString damaged = dir.filePath("damaged.hex");
    QFile out(damaged);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
    out.close();
    CliRun r = Cli({"flash", "--port", port, damaged});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "Hex file checksum error in line 5.\n");
    EXPECT_EQ(r.err, "vemo-cli flash: Hex file checksum error in line 5. (result -1)\n");
    r = Cli({"flash", "--port", port, dir.filePath("none.hex")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith("Unable to open ")) << r.err.toStdString();

    const QString hex = Fixtures + "one-byte.hex";
    for (const QStringList& usage : {QStringList{hex},
                                     {"--port", port},
                                     {"--port", port, hex, hex},
                                     {"--port", port, "--speed", "300", hex},
                                     {"--port", port, "--fast", hex}})
        EXPECT_EQ(Cli(QStringList{"flash"} + usage).status, 1) << usage.join(' ').toStdString();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Received(), "");

    sim.SetSilenceAfter(0);
    r = Cli({"flash", "--port", port, "--blank", hex});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "vemo-cli flash: Target not responding (result -3)\n");
    EXPECT_EQ(Received(), "UUU"); // --blank: no "P"
}
