// Widget tests need one QApplication for the whole test program.
#include <QApplication>

namespace {
int argc = 1;
char name[] = "test_app";
char* argv[] = {name, nullptr};
QApplication* const app = new QApplication(argc, argv);
} // namespace
