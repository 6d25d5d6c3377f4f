// Widget tests need one QApplication for the whole test program.
#include <QApplication>

namespace {
int argc = 1;
char name[] = "test_app";
char* argv[] = {name, nullptr};
// Test discovery runs the program at build time, where there may be no display.
QApplication* MakeApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
}
QApplication* const app = MakeApp();
} // namespace
