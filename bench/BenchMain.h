#pragma once

// The main() of a benchmark program that needs Qt's application object.

#include <QByteArray>

#include <benchmark/benchmark.h>

#include <functional>

/**
 * Runs the benchmarks the command line names under an application object of
 * type Application; widgets draw on the offscreen platform unless
 * QT_QPA_PLATFORM names another. done() runs after the benchmarks, while the
 * application object still exists: it frees what they kept (windows, say).
 */
template <class Application> int RunBenchmarks(int argc, char **argv, const std::function<void()> &done = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (done)
        done();
    return 0;
}
