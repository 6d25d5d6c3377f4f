// vemo-cli ports and info against the simulator, running the real tool.
#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct CliResult {
    int status = -1;
    QString out, err;
};

CliResult Cli(const QStringList& args, const QString& linkFolder = QString()) {
    QProcess p;
    auto env = QProcessEnvironment::systemEnvironment();
    if (!linkFolder.isEmpty()) env.insert("VEMO_PORT_LINKS", linkFolder);
    p.setProcessEnvironment(env);
    p.start(VEMO_CLI, args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLatin1(p.readAllStandardOutput()),
            QString::fromLatin1(p.readAllStandardError())};
}

TEST(CliInfo, PrintsTheInfoBlockOfTheModule) {
    vemosim::Simulator sim;
    ASSERT_TRUE(sim.Start());
    sim.SetIdentity({"VEMO", "MOD1", "0.42", "02-29-24"});
    CliResult r =
        Cli({"info", "--port", QString::fromStdString(sim.PortPath()), "--speed", "19200"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString("     Device Name: VEMO\n           Model: MOD1\n\n"
                             "Software Version: 0.42\n   Software Date: 02-29-24\n\n\n"
                             "Memory contains %1 data sets.\n")
                         .arg(sim.SetCount()));
}

TEST(CliInfo, FailuresGiveTheProgramsWordsAndStatus) {
    CliResult missing = Cli({"info", "--port", "/dev/vemo-no-such-port"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.err.startsWith("Unable to open Serial Port\n"))
        << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());

    vemosim::Simulator sim;
    ASSERT_TRUE(sim.Start());
    sim.SetIdentity({"VEMO", "MOD1"}); // the module stops after two lines
    CliResult silent = Cli({"info", "--port", QString::fromStdString(sim.PortPath())});
    EXPECT_EQ(silent.status, 2);
    EXPECT_EQ(silent.err, "No Reply from Target\n");

    EXPECT_EQ(Cli({"info"}).status, 1);
    EXPECT_EQ(Cli({"info", "--port", "/dev/null", "--speed", "300"}).status, 1);
    EXPECT_EQ(Cli({"info", "--port"}).status, 1);
    EXPECT_EQ(Cli({"info", "--port", "/dev/null", "--bogus"}).status, 1);
}

TEST(CliPorts, ListsTheSimulatorFromItsLinkFolderFirst) {
    vemosim::Simulator sim;
    ASSERT_TRUE(sim.Start());
    QTemporaryDir links;
    const QString path = QString::fromStdString(sim.PortPath());
    const QString name = "vemo-sim-" + QString::number(QCoreApplication::applicationPid());
    ASSERT_TRUE(QFile::link(path, links.filePath(name)));
    CliResult r = Cli({"ports"}, links.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(path + "   Vemo module simulator   SIM\n")) << r.out.toStdString();
    EXPECT_EQ(Cli({"ports", "extra"}).status, 1);
}

} // namespace
