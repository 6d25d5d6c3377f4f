#pragma once
#include "link/ui/ConnectPage.h"
// Widget tests of the configuration and download pages: a QApplication when the test program
// has none yet, and a stand-in main window with the tab control and the message log the pages
// look for by name.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <chrono>
#include <functional>
#include <thread>

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
    QWidget* connectPage;
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

} // namespace configtest
