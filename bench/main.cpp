#include "BenchSupport.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

// The offscreen platform's remarks (no raise(), no sound server) would bury the results.
void quiet(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg || type == QtCriticalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

} // namespace

// The benchmarks need widgets and fonts but no display: the offscreen platform unless the
// caller chose another.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(quiet);
    QApplication::setOrganizationName(QStringLiteral("QuillhavenBench"));
    QApplication::setApplicationName(QStringLiteral("QuillhavenBench"));
    QApplication application(argc, argv);
    bench::setUpEnvironment();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
