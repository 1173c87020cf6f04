// SPDX-License-Identifier: MIT
// Collecting command output and cutting text must cost time in proportion to
// the text's size: each pair of sizes is printed as a ratio of CPU times, 10 MB
// against 1 MB measured in the same run (linear is about 10; the goal is at
// most 12).
#include "figure.h"

#include "app/extract_between.h"
#include "app/output_collection.h"
#include "base/text_slot.h"
#include "platform/platform.h"
#include "runner/read_output.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMB = 1024 * 1024;
constexpr std::size_t kChunk = 256;

// Console output as a Linux child writes it: LF line ends, some CR LF.
qni::Text consoleText(std::size_t size)
{
    const qni::Text lines = u"        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B\n"
                            u"        Dhcp Enabled. . . . . . . . . . . : No\r\n";
    qni::Text text;
    text.reserve(size + lines.size());
    while (text.size() < size)
        text += lines;
    text.resize(size);
    return text;
}

const std::vector<qni::Text>& chunks(std::size_t size)
{
    static std::map<std::size_t, std::vector<qni::Text>> cache;
    auto& c = cache[size];
    if (c.empty()) {
        const qni::Text text = consoleText(size);
        for (std::size_t i = 0; i < text.size(); i += kChunk)
            c.push_back(text.substr(i, kChunk));
    }
    return c;
}

void BM_CollectOutput(benchmark::State& state)
{
    const std::vector<qni::Text>& parts = chunks(state.range(0));
    qni::PlainTextSlot txtOutput;
    qni::ReadOutput ReadOutput1{qni::Platform{}};
    qni::collectOutput(ReadOutput1, txtOutput);
    for (auto _ : state) {
        ReadOutput1.Starting();
        for (const qni::Text& chunk : parts)
            ReadOutput1.GotChunk(chunk, false);
        benchmark::DoNotOptimize(txtOutput.length());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CollectOutput)->Arg(kMB)->Arg(10 * kMB)->Unit(benchmark::kMillisecond);

// The start marker near the front and the end marker at the very end: both
// searches cover the whole text.
void BM_ExtractBetween(benchmark::State& state)
{
    const qni::Text text = u"abc('" + consoleText(state.range(0)) + u"')";
    const qni::Text start = u"('";
    const qni::Text end = u"')";
    for (auto _ : state)
        benchmark::DoNotOptimize(qni::ExtractBetween(text, start, end));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ExtractBetween)->Arg(kMB)->Arg(10 * kMB)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatio(const char* figure, const std::string& name) const
    {
        const auto small = times.find(name + "/" + std::to_string(kMB));
        const auto large = times.find(name + "/" + std::to_string(10 * kMB));
        if (small == times.end() || large == times.end() || small->second <= 0)
            return;
        qni::bench::printFigure(figure, large->second / small->second, "ratio", qni::bench::Goal::AtMost, 12);
    }
};

} // namespace

int main(int argc, char** argv)
{
    // Large blocks always come fresh from the kernel, as they do for the one
    // collect of a gather. Left to itself, glibc raises this threshold after
    // the first large free and then recycles the 1 MB run's memory while the
    // 10 MB run still pays for first touch, so the ratio would measure the
    // allocator's reuse policy rather than the collecting.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\n");
    reporter.printRatio("output_10mb_over_1mb", "BM_CollectOutput");
    reporter.printRatio("extract_10mb_over_1mb", "BM_ExtractBetween");
    return 0;
}
