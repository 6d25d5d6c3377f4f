// SIGTERM and SIGINT close the program the normal way: settings stored, exit status 0.
#include "app/QuitSignals.h"
#include "TestSettings.h"
#include "app/MainForm.h"
#include "app/Windows.h"
#include "data/PlotDocument.h"
#include "link/FirmwareUpdate.h"
#include "link/SerialLink.h"
#include "link/ui/ConfigurePage.h"
#include "link/ui/ConnectPage.h"
#include "plot/ui/EditInfoForm.h"
#include "sim/Simulator.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>

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
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// Whether process pid has a handler of its own for sig (Linux: SigCgt in /proc/PID/status).
bool CatchesSignal(qint64 pid, int sig) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (sig - 1)) & 1;
    return false;
}

// The main window beside a simulated module whose port it lists (announced in a folder of the
// test's own) and has chosen.
class WindowBesideModule {
public:
    explicit WindowBesideModule(vemosim::SimOptions options = {}) : sim(options) {
        sim.Start();
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::create_symlink(sim.PortPath(), folder_ / "vemo-sim-1");
        ::setenv("VEMO_PORT_LINKS", folder_.c_str(), 1);
        CreateWindows();
        MainForm->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(MainForm));
        QComboBox* ports = MainForm->ConnectPg->CommPortBox;
        ports->setCurrentIndex(
            ports->findText(QString::fromStdString(sim.PortPath()), Qt::MatchStartsWith));
    }
    ~WindowBesideModule() {
        vemo::Link().ClosePort();
        DestroyWindows();
        ::unsetenv("VEMO_PORT_LINKS");
        std::filesystem::remove_all(folder_);
    }
    void Click(const char* name) { MainForm->findChild<QPushButton*>(name)->click(); }
    QString Log() const { return MainForm->ConnectPg->InfoText->toPlainText(); }

    vemosim::Simulator sim;

private:
    std::filesystem::path folder_ = std::filesystem::temp_directory_path() /
                                    ("vemo-quit-links-" + std::to_string(::getpid()));
};

// Sends sig to the process after ms from a thread of its own: the window may be blocked in a
// module command then.
class SignalLater {
public:
    SignalLater(int sig, int ms)
        : thread_([this, sig, ms] {
              std::this_thread::sleep_for(std::chrono::milliseconds(ms));
              sent_.start();
              ::kill(::getpid(), sig);
          }) {}
    ~SignalLater() { thread_.join(); }
    qint64 MsSinceSent() const { return sent_.isValid() ? sent_.elapsed() : -1; }

private:
    QElapsedTimer sent_;
    std::thread thread_;
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

// During a download (a long set at 2400 baud) or a Connect whose module does not answer (a
// blocking read, then a box), a signal closes the program as the Close button does: within two
// seconds, the settings stored.
TEST(QuitSignals, ASignalDuringAModuleCommandClosesTheProgramWithinTwoSeconds) {
    for (const char* command : {"DLDataBtn", "ConnectBtn"}) {
        SCOPED_TRACE(command);
        const bool download = std::string(command) == "DLDataBtn";
        WindowBesideModule m(vemosim::SimOptions{.pace = true});
        vemosim::Recording longSet;
        longSet.alt.assign(3000, 50.0); // 25 s on the line
        m.sim.SetRecordings({longSet});
        MainForm->ConnectPg->SpeedBox->setCurrentIndex(0); // 2400
        if (download) {
            m.Click("ConnectBtn");
            m.Click("DLInfoBtn");
            ASSERT_TRUE(m.Log().contains("Memory contains 1 data sets."));
        } else {
            m.sim.SetSilenceAfter(0);
        }
        QuitSignals quit(MainForm);
        // Should the signal be lost, a box left open must not hold the test.
        QTimer fallback;
        QObject::connect(&fallback, &QTimer::timeout, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        fallback.start(8000);
        std::optional<SignalLater> later;
        later.emplace(SIGTERM, 500);
        m.Click(command);
        EXPECT_TRUE(QTest::qWaitFor([] { return !MainForm->isVisible(); }, 10000));
        EXPECT_LT(later->MsSinceSent(), 2000);
        EXPECT_EQ(vemo::PlotDoc, nullptr);
        EXPECT_TRUE(QFile::exists(vemo::UserSettingsFile()));
        // A second signal would be served the same way, not end the program unsaved.
        EXPECT_TRUE(CatchesSignal(::getpid(), SIGTERM));
        later.reset();
    }
}

// A firmware update is not cut short: the Close button, the window's close and a signal each
// wait for it, the log says so, and the window stays up until the update has ended.
TEST(QuitSignals, AClosingProgramWaitsForTheFirmwareUpdate) {
    WindowBesideModule m;
    QuitSignals quit(MainForm);
    MainForm->ConfigurePg->FirmwareAsks = {
        [](const std::string&, const std::string&, bool) { return true; },
        [] { return std::string(VEMO_TEST_DATA) + "/firmware/one-byte.hex"; }};
    std::vector<bool> visibleWhileUpdating;
    int closes = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!vemo::FirmwareUpdateRunning()) return;
        if (closes == 0) MainForm->close();
        if (closes == 1) ::raise(SIGTERM);
        ++closes;
        visibleWhileUpdating.push_back(MainForm->isVisible());
    });
    closer.start(0); // at each pass of window events the update lets through
    m.Click("UpdateBtn");
    closer.stop();

    ASSERT_GE(closes, 3);
    EXPECT_EQ(std::count(visibleWhileUpdating.begin(), visibleWhileUpdating.end(), false), 0);
    const QString log = m.Log();
    EXPECT_EQ(log.count(vemo::CloseWaitsForUpdateText), 1);
    EXPECT_TRUE(log.endsWith("Firmware updated successfully.")) << log.toStdString();
    EXPECT_EQ(m.sim.Flash()[0], 0x5A);
    EXPECT_TRUE(QTest::qWaitFor([] { return !MainForm->isVisible(); }, 3000));
    EXPECT_EQ(vemo::PlotDoc, nullptr);
}
