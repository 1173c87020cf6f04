// SPDX-License-Identifier: MIT
// Throughput of a run: ProcessCommand with an empty GotChunk handler against
// its floor, a plain loop of 256-byte reads on the same kind of pipe from
// the same command through the same interpreter. The two run in turn, floor
// then runner, for kPairs pairs after one warm-up of each; each pair gives
// one ratio of throughputs, so a machine that speeds up or slows down between
// pairs moves both sides of a pair alike. The figure is the median ratio.
#include "figure.h"

#include "ui/qt_event_pump.h"
#include "host/host_platform.h"
#include "host/qt_text.h"
#include "platform/process_service.h"
#include "runner/read_output.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <unistd.h>

using qni::bench::median;

namespace {

using Clock = std::chrono::steady_clock;
constexpr qint64 kBytes = qint64(32) << 20;
constexpr int kPairs = 25;
const QString kCommand = QStringLiteral("head -c %1 /dev/zero").arg(kBytes);

double msSince(Clock::time_point begin)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

// One whole run read by plain 256-byte reads; milliseconds, or -1.
double plainReads(qni::ProcessService& processes)
{
    const QString line = qni::toQt(processes.commandInterpreter()) + QStringLiteral(" /c \"") + kCommand + u'"';
    char buffer[256];
    const auto begin = Clock::now();
    qni::PipeHandle r, w;
    int pid = 0;
    if (!processes.createPipe(r, w) || !processes.createProcess(qni::fromQt(line), w, pid))
        return -1;
    processes.closeHandle(w);
    qint64 total = 0;
    // The floor reads the descriptor itself, as the host service gives it.
    for (ssize_t n; (n = ::read(int(r), buffer, sizeof buffer)) > 0;)
        total += n;
    processes.closeHandle(r);
    processes.closeProcess(pid);
    return total == kBytes ? msSince(begin) : -1;
}

// One whole run through the runner; milliseconds, or -1.
double processCommand(qni::ReadOutput& runner, const qint64& received)
{
    const auto begin = Clock::now();
    const qint64 before = received;
    runner.ProcessCommand();
    return received - before == kBytes ? msSince(begin) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("ComSpec"))
        qputenv("ComSpec", QNI_BIN_DIR "/qni-cmd");
    QApplication app(argc, argv);

    qni::Platform platform;
    platform.processes = qni::makeHostProcessService();
    platform.windows = qni::makeHostWindowService();
    qni::ReadOutput runner(platform);
    qni::QtEventPump events;
    runner.setEventPump(&events); // as the window runs it
    // The handler counts bytes only to check the run: "head" writes no
    // character that is not one byte.
    qint64 received = 0;
    runner.GotChunk.connect([&](const qni::Text& chunk, bool) { received += chunk.size(); });
    runner.SetCommand(qni::fromQt(kCommand));

    if (plainReads(*platform.processes) < 0 || processCommand(runner, received) < 0) {
        std::fprintf(stderr, "the command did not deliver %lld bytes\n", static_cast<long long>(kBytes));
        return 1;
    }
    std::vector<double> floors, runs, ratios;
    for (int pair = 0; pair < kPairs; ++pair) {
        const double floor = plainReads(*platform.processes);
        const double run = processCommand(runner, received);
        if (floor < 0 || run < 0) {
            std::fprintf(stderr, "pair %d: a run was cut short\n", pair + 1);
            return 1;
        }
        floors.push_back(floor);
        runs.push_back(run);
        ratios.push_back(floor / run);
    }
    const auto mbPerS = [](double ms) { return static_cast<double>(kBytes) / 1e3 / ms; };
    const auto [lowest, highest] = std::minmax_element(ratios.begin(), ratios.end());
    std::printf("over %d pairs: floor median %.1f MB/s (256-byte reads), runner median %.1f MB/s "
                "(ProcessCommand); ratio spread %.3f - %.3f\n",
                kPairs, mbPerS(median(floors)), mbPerS(median(runs)), *lowest, *highest);
    qni::bench::printFigure("runner_vs_floor", median(ratios), "ratio", qni::bench::Goal::AtLeast, 0.5);
    return 0;
}
