// Widget tests need one QApplication for the whole test program. The main window reads and
// writes the user's settings, so the program keeps them in a folder of its own, and every test
// starts as a first run.
#include "TestSettings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

int argc = 1;
char name[] = "test_app";
char* argv[] = {name, nullptr};

// Removed again when the program ends.
QTemporaryDir configHome(QDir::tempPath() + "/vemo-test-config-XXXXXX");
[[maybe_unused]] const bool configHomeSet =
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());

// Test discovery runs the program at build time, where there may be no display.
QApplication* MakeApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
}
QApplication* const app = MakeApp();

class FirstRunEachTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { ForgetSettings(); }
};
[[maybe_unused]] const bool listening = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FirstRunEachTest);
    return true;
}();

} // namespace

void ForgetSettings() {
    QFile::remove(vemo::UserSettingsFile());
}
