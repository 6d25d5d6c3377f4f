// Widget tests need one QApplication for the whole test program. The settings live in a
// folder of the program's own, and every test starts as a first run.
#include "app/SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

int argc = 1;
char name[] = "test_app";
char* argv[] = {name, nullptr};

QTemporaryDir configHome(QDir::tempPath() + "/vemo-test-config-XXXXXX"); // removed at the end
[[maybe_unused]] const bool configHomeSet =
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());

// Test discovery runs the program at build time, where there may be no display.
QApplication* MakeApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
}
QApplication* const app = MakeApp();

class FirstRunEachTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        QFile::remove(vemo::UserSettingsFile());
    }
};
[[maybe_unused]] const bool listening = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FirstRunEachTest);
    return true;
}();

} // namespace
