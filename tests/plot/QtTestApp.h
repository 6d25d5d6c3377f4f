#pragma once
// One QApplication for the whole test program, made on first use by whichever test needs it.
#include <QApplication>

inline void EnsureQtApp() {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_plot";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv); // reachable until exit
    (void)app;
}

// Base of fixtures that hold widgets as members: the application exists before they do.
struct QtAppFirst {
    QtAppFirst() { EnsureQtApp(); }
};
