// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main of a benchmark that needs the windows: the offscreen platform, the
// application object, the registered benchmarks, then whatever prints its own figures.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <functional>

inline int RunOffscreenBenchmarks(int argc, char** argv, const std::function<void()>& after = {}) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (after)
        after();
    return 0;
}
