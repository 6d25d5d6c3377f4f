#include "QtTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

namespace {

int argc = 1;
char name[] = "test_data";
char* argv[] = {name, nullptr};
std::unique_ptr<QApplication> app;

struct QtAppEnvironment : ::testing::Environment {
    void TearDown() override { app.reset(); }
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

} // namespace

void EnsureQtApp() {
    if (!QApplication::instance()) app = std::make_unique<QApplication>(argc, argv);
}
