// SIGTERM and SIGINT close the program the normal way: settings stored, exit status 0.
#include "app/QuitSignals.h"
#include "TestSettings.h"
#include "app/MainForm.h"
#include "app/Windows.h"
#include "data/PlotDocument.h"
#include "plot/ui/EditInfoForm.h"

#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>

namespace {

// Whether process pid has a handler of its own for sig (Linux: SigCgt in /proc/PID/status).
bool CatchesSignal(qint64 pid, int sig) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (sig - 1)) & 1;
    return false;
}

} // namespace

TEST(QuitSignals, TermAndIntEndTheRealProgramWithStatusZeroAndTheSettingsStored) {
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        QTemporaryDir config;
        QProcess vemo;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VEMO_PORT_LINKS", config.filePath("ports"));
        vemo.setProcessEnvironment(env);
        vemo.start(VEMO_APP, {});
        ASSERT_TRUE(vemo.waitForStarted(30000));
        // The program is ready for the signal once its handler is in place.
        ASSERT_TRUE(QTest::qWaitFor([&] { return CatchesSignal(vemo.processId(), sig); }, 60000));
        ::kill(static_cast<pid_t>(vemo.processId()), sig);

        ASSERT_TRUE(vemo.waitForFinished(60000));
        EXPECT_EQ(vemo.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(vemo.exitCode(), 0) << vemo.readAllStandardError().toStdString();
        QSettings written(config.filePath("TarnwickSystems/Vemo.ini"), QSettings::IniFormat);
        written.beginGroup("Settings");
        EXPECT_EQ(written.childKeys().size(), vemo::SettingsValueCount);
    }
}

// A window closed while a dialog is still open would free the data the dialog edits.
TEST(QuitSignals, ASignalWhileADialogIsOpenClosesTheDialogBeforeTheWindow) {
    CreateWindows();
    MainForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    {
        QuitSignals quit(MainForm);
        QTimer::singleShot(200, [] { ::raise(SIGTERM); });
        QTimer::singleShot(20000, [] { EditInfoForm->reject(); }); // should the signal be lost
        EXPECT_EQ(EditInfoForm->Open(*vemo::PlotDoc), QDialog::Rejected);
        EXPECT_TRUE(MainForm->isVisible() && vemo::PlotDoc != nullptr);
        EXPECT_TRUE(QTest::qWaitFor([] { return !MainForm->isVisible(); }, 10000));
        EXPECT_EQ(vemo::PlotDoc, nullptr); // the close released the data
        EXPECT_TRUE(QFile::exists(vemo::UserSettingsFile()));
    }
    DestroyWindows();
}
