#pragma once
#include "link/ui/ConnectPage.h"
// Widget tests of the configuration and download pages: a QApplication when the test program
// has none yet, and a stand-in main window with the tab control and the message log the pages
// look for by name.
#include "LinkTestSupport.h"
#include "data/ui/MainStatus.h"
#include "link/ui/BusyControls.h"
#include "link/ui/ConfigurePage.h"
#include "sim/Simulator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ostream>
#include <thread>
#include <unistd.h>
#include <vector>

// Failure messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace configtest {

inline void EnsureApp() {
    static int argc = 1;
    static char name[] = "test_link";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// A window with PageControl1, a "ConnectPage" holding InfoText, and room for a page under test.
struct AppReady {
    AppReady() { EnsureApp(); }
};

struct StandInWindow {
    AppReady ready; // before any widget
    QWidget window;
    QTabWidget* tabs;
    ConnectPage* connectPage;
    QPlainTextEdit* info;

    StandInWindow() {
        auto* layout = new QVBoxLayout(&window);
        tabs = new QTabWidget(&window);
        tabs->setObjectName("PageControl1");
        layout->addWidget(tabs);
        auto* page = new ConnectPage;
        connectPage = page;
        info = page->InfoText;
        tabs->addTab(connectPage, "Connect / Download");
    }
    QStringList Lines() const { return info->toPlainText().split('\n'); }
};

// The module controls of the Connect page and a Configure page, as the main window holds them
// while a command runs.
inline std::vector<QWidget*> ModuleControls(const ConnectPage& connect,
                                            const ConfigurePage& configure) {
    std::vector<QWidget*> controls = connect.ModuleControls();
    for (QWidget* w : configure.ModuleControls())
        controls.push_back(w);
    return controls;
}

// Waits (processing events) until done() or the time is up.
inline bool WaitFor(const std::function<bool()>& done, int ms = 2000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The Connect and Configure pages in a stand-in window with its status panel, and a simulator
// announced in a private link folder, so that the Connect page lists its port first. Message
// boxes go to `prompt`.
struct ModuleWindow {
    struct Announced {
        vemosim::Simulator sim;
        std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("vemo-test-links-" + std::to_string(::getpid()));
        explicit Announced(vemosim::SimOptions options = {}) : sim(options) {
            sim.Start();
            std::filesystem::remove_all(folder);
            std::filesystem::create_directories(folder);
            std::filesystem::create_symlink(sim.PortPath(),
                                            folder / ("vemo-sim-" + std::to_string(::getpid())));
            ::setenv("VEMO_PORT_LINKS", folder.c_str(), 1);
        }
        ~Announced() {
            ::unsetenv("VEMO_PORT_LINKS");
            std::filesystem::remove_all(folder);
        }
    } announced; // before the window's Connect page reads the port list
    StandInWindow w;
    ConfigurePage* configure = new ConfigurePage;
    vemo::BusyControls busy{&w.window, ModuleControls(*w.connectPage, *configure)};
    QLabel status{"Not Connected"};
    linktest::RecordingPrompt prompt;

    ModuleWindow() {
        configure->RunCommandsOn(w.connectPage);
        w.connectPage->UseConfigSession(&configure->Session());
        w.tabs->addTab(configure, "Configure");
        MainStatus.ConnectStatusDisp = &status;
        static_cast<ConnectPage*>(w.connectPage)->SetPrompt(&prompt);
    }
    ~ModuleWindow() {
        vemo::Link().SetClock(nullptr);
        vemo::Link().ClosePort();
        MainStatus.ConnectStatusDisp = nullptr;
    }
    vemosim::Simulator& Sim() { return announced.sim; }
    template <typename T = QAbstractButton> T* Control(const char* name) {
        return w.window.findChild<T*>(name);
    }
    void Click(const char* name) { QTest::mouseClick(Control(name), Qt::LeftButton); }
    QString LastLine() const { return w.Lines().last(); }
};

} // namespace configtest
