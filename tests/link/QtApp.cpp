// The link tests need one QApplication for the whole test program: the port layer uses Qt's
// I/O, and the page tests build widgets (offscreen).
#include <QApplication>

namespace {

int argc = 1;
char name[] = "test_link";
char* argv[] = {name, nullptr};

// Test discovery runs the program at build time, where there may be no display.
QApplication* MakeApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
}
[[maybe_unused]] QApplication* const app = MakeApp();

} // namespace
