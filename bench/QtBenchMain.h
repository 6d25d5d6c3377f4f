#pragma once
// The main of a benchmark that needs a Qt application (fonts, widgets, serial ports): no
// window is ever shown, so it runs offscreen unless told otherwise.
#include <QByteArray>
#include <QtGlobal>

#include <benchmark/benchmark.h>

template <class Application>
int RunQtBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
