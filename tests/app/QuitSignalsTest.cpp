// SIGTERM and SIGINT close the program the normal way: settings stored, exit status 0.
#include "app/QuitSignals.h"
#include "TestSettings.h"
#include "app/MainForm.h"
#include "app/Windows.h"
#include "data/PlotDocument.h"
#include "link/FirmwareUpdate.h"
#include "plot/ui/EditInfoForm.h"
#include "tests/link/ConfigWidgetSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>
#include <thread>

namespace {

// Whether process pid has a handler of its own for sig (Linux: SigCgt in /proc/PID/status).
bool CatchesSignal(qint64 pid, int sig) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (sig - 1)) & 1;
    return false;
}

// The main window beside a simulated module, whose port is listed first.
struct WindowBesideModule {
    explicit WindowBesideModule(vemosim::SimOptions options = {}) : module(options) {
        CreateWindows();
        MainForm->show();
        MainForm->ConnectPg->CommPortBox->setCurrentIndex(0);
    }
    ~WindowBesideModule() {
        vemo::Link().ClosePort();
        DestroyWindows();
    }
    void Click(const char* name) { MainForm->findChild<QPushButton*>(name)->click(); }
    configtest::ModuleWindow::Announced module;
};

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

// During a download (25 s at 2400 baud) or a Connect to a silent module (a blocking read, then
// a box), a signal closes the program as Close does: within 2 s, settings stored, still caught.
TEST(QuitSignals, ASignalDuringAModuleCommandClosesTheProgramWithinTwoSeconds) {
    for (const char* command : {"DLDataBtn", "ConnectBtn"}) {
        SCOPED_TRACE(command);
        WindowBesideModule m(vemosim::SimOptions{.pace = true});
        vemosim::Recording longSet;
        longSet.alt.assign(3000, 50.0);
        m.module.sim.SetRecordings({longSet});
        MainForm->ConnectPg->SpeedBox->setCurrentIndex(0);
        m.module.sim.SetSilenceAfter(command[0] == 'C' ? 0 : -1);
        if (command[0] == 'D') m.Click("ConnectBtn"), m.Click("DLInfoBtn");
        QuitSignals quit(MainForm);
        std::chrono::steady_clock::time_point sent;
        std::thread signal([&sent] { // the window may be blocked in the command by then
            QThread::msleep(500);
            sent = std::chrono::steady_clock::now();
            ::kill(::getpid(), SIGTERM);
        });
        m.Click(command);
        EXPECT_TRUE(QTest::qWaitFor([] { return !MainForm->isVisible(); }, 10000));
        signal.join();
        EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(2));
        EXPECT_TRUE(QFile::exists(vemo::UserSettingsFile()));
        EXPECT_TRUE(CatchesSignal(::getpid(), SIGTERM));
    }
}

// A firmware update is not cut short: the window's close and a signal wait for it, the log
// says so, and the window closes when the update has ended.
TEST(QuitSignals, AClosingProgramWaitsForTheFirmwareUpdate) {
    WindowBesideModule m;
    QuitSignals quit(MainForm);
    MainForm->ConfigurePg->FirmwareAsks = {
        [](const std::string&, const std::string&, bool) { return true; },
        [] { return std::string(VEMO_TEST_DATA) + "/firmware/one-byte.hex"; }};
    int closes = 0, hidden = 0;
    QTimer closer; // at each pass of window events the update lets through
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!vemo::FirmwareUpdateRunning()) return;
        ++closes == 1 ? MainForm->close() : closes == 2 && ::raise(SIGTERM);
        hidden += MainForm->isHidden();
    });
    closer.start(0);
    m.Click("UpdateBtn");
    EXPECT_GE(closes, 3);
    EXPECT_EQ(hidden, 0);
    const QString log = MainForm->ConnectPg->InfoText->toPlainText();
    EXPECT_EQ(log.count(vemo::CloseWaitsForUpdateText), 1);
    EXPECT_TRUE(log.endsWith("Firmware updated successfully.")) << log.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([] { return !MainForm->isVisible(); }, 3000));
}
