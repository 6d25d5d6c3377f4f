// SIGTERM and SIGINT close the program the normal way: the settings are stored and the exit
// status is 0. The real program is run for that; a signal that arrives while a dialog is open
// is tried in this process, where a window closed too early would free data the dialog edits.
#include "app/QuitSignals.h"
#include "TestSettings.h"
#include "app/AppSettings.h"
#include "app/MainForm.h"
#include "app/Windows.h"
#include "data/AppState.h"
#include "plot/ui/EditInfoForm.h"

#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <thread>

namespace {

// Whether process pid has a handler of its own for sig (Linux: SigCgt in /proc/PID/status).
bool CatchesSignal(qint64 pid, int sig) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) != 0) continue;
        const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
        return (mask >> (sig - 1)) & 1;
    }
    return false;
}

} // namespace

TEST(QuitSignals, TermAndIntEndTheProgramWithStatusZeroAndTheSettingsStored) {
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig == SIGTERM ? "SIGTERM" : "SIGINT");
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
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!CatchesSignal(vemo.processId(), sig) && std::chrono::steady_clock::now() < until &&
               vemo.state() == QProcess::Running)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_TRUE(CatchesSignal(vemo.processId(), sig));
        ::kill(static_cast<pid_t>(vemo.processId()), sig);

        ASSERT_TRUE(vemo.waitForFinished(60000));
        EXPECT_EQ(vemo.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(vemo.exitCode(), 0) << vemo.readAllStandardError().toStdString();

        QSettings written(config.filePath("TarnwickSystems/Vemo.ini"), QSettings::IniFormat);
        written.beginGroup("Settings");
        EXPECT_EQ(written.childKeys().size(), vemo::SettingsValueCount);
        EXPECT_EQ(written.value("BaudRate").toString(), "5"); // a first run's
    }
}

TEST(QuitSignals, ASignalWhileADialogIsOpenClosesTheDialogBeforeTheWindow) {
    CreateWindows();
    MainForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
    {
        QuitSignals quit(MainForm);
        QTimer::singleShot(200, [] { ::raise(SIGTERM); });
        QTimer::singleShot(20000, [] { EditInfoForm->reject(); }); // should the signal be lost
        bool windowOpenWhenTheDialogReturned = false;
        const int result = EditInfoForm->Open(*vemo::PlotDoc);
        windowOpenWhenTheDialogReturned = MainForm->isVisible() && vemo::PlotDoc != nullptr;
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_TRUE(windowOpenWhenTheDialogReturned);
        QTRY_VERIFY_WITH_TIMEOUT(!MainForm->isVisible(), 10000);
        EXPECT_EQ(vemo::PlotDoc, nullptr); // the close released the data
        EXPECT_TRUE(QFile::exists(vemo::UserSettingsFile()));
    }
    DestroyWindows();
    vemo::App = vemo::AppState{};
}
