// Throughput of a run: ProcessCommand with an empty GotChunk handler against
// its floor, a plain loop of 256-byte reads on the same kind of pipe from the
// same command through the same interpreter, both measured in this run.
#include "figure.h"

#include "app/pause.h"
#include "platform/host/host_platform.h"
#include "platform/process_service.h"
#include "runner/read_output.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include <unistd.h>

namespace {

constexpr qint64 kBytes = qint64(32) << 20;
const QString kCommand = QStringLiteral("head -c %1 /dev/zero").arg(kBytes);

void BM_PlainReads(benchmark::State& state)
{
    const auto processes = qni::makeHostProcessService();
    const QByteArray line = (processes->commandInterpreter() + QStringLiteral(" /c \"") + kCommand + u'"').toLocal8Bit();
    char buffer[256];
    for (auto _ : state) {
        int r = -1, w = -1, pid = 0;
        if (!processes->createPipe(r, w) || !processes->createProcess(line, w, pid)) {
            state.SkipWithError("cannot start the command");
            break;
        }
        processes->closeHandle(w);
        qint64 total = 0;
        for (ssize_t n; (n = ::read(r, buffer, sizeof buffer)) > 0;)
            total += n;
        processes->closeHandle(r);
        processes->closeProcess(pid);
        if (total != kBytes)
            state.SkipWithError("short output");
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_ProcessCommand(benchmark::State& state)
{
    qni::Platform platform;
    platform.processes = qni::makeHostProcessService();
    platform.windows = qni::makeHostWindowService();
    qni::ReadOutput ro(platform);
    ro.setEventPump(qni::processPendingEvents); // as the window runs it
    QObject::connect(&ro, &qni::ReadOutput::GotChunk, [](const QString&, bool) {});
    ro.SetCommand(kCommand);
    for (auto _ : state)
        ro.ProcessCommand();
    state.SetBytesProcessed(state.iterations() * kBytes);
}

BENCHMARK(BM_PlainReads)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ProcessCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Keeps each benchmark's bytes per second for the ratio.
class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end() && run.run_type == Run::RT_Iteration)
                rates[run.run_name.function_name] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("ComSpec"))
        qputenv("ComSpec", QNI_BIN_DIR "/qni-cmd");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double floor = reporter.rates["BM_PlainReads"];
    const double runner = reporter.rates["BM_ProcessCommand"];
    if (floor > 0 && runner > 0) {
        std::printf("floor  %.1f MB/s (256-byte reads)\nrunner %.1f MB/s (ProcessCommand)\n", floor / 1e6, runner / 1e6);
        qni::bench::printFigure("runner_vs_floor", runner / floor, "ratio", qni::bench::Goal::AtLeast, 0.5);
    }
    benchmark::Shutdown();
    return 0;
}
