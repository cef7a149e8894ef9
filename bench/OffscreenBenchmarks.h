#pragma once

#include <QApplication>
#include <QByteArray>

#include <benchmark/benchmark.h>

namespace tabulix {

// The main of a benchmark with widgets: an offscreen application around
// Google Benchmark's run.
class OffscreenBenchmarks {
public:
    OffscreenBenchmarks(int& argc, char** argv)
        : platform_(qputenv("QT_QPA_PLATFORM", "offscreen")), app_(argc, argv) {
        benchmark::Initialize(&argc, argv);
        argumentsKnown_ = !benchmark::ReportUnrecognizedArguments(argc, argv);
    }

    bool argumentsKnown() const { return argumentsKnown_; }

    int run() {
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }

private:
    bool platform_; // set before the application is made
    QApplication app_;
    bool argumentsKnown_ = false;
};

} // namespace tabulix
