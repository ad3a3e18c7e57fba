#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>

// The main of a benchmark that paints or makes widgets: Qt's offscreen platform unless the
// caller chose another, one application object, then Google Benchmark as usual. Widgets the
// benchmarks share must go before the application object does (their teardown reaches fonts
// and styles it owns): `beforeTheApplicationEnds` releases them.
inline int RunWidgetBenchmarks(int argc, char** argv,
                               const std::function<void()>& beforeTheApplicationEnds = {}) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeTheApplicationEnds)
        beforeTheApplicationEnds();
    return 0;
}
