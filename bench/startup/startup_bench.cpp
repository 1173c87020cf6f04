// SPDX-License-Identifier: MIT
// Start-up time of the real executable: from starting the process to the end
// of the first paint of its main window on the offscreen platform. The
// program ends itself right after that paint when QNI_EXIT_WHEN_SHOWN is set,
// so the time to its exit is the time to a shown window (plus the kernel's
// process exit, well under a millisecond).
//
// Its floor is a bare Qt Widgets window of the same size, shown and ended the
// same way (bare_window). The two are started in turn, program then floor,
// and each pair gives one ratio: a machine that speeds up or slows down
// between pairs moves both sides of a pair alike. One unmeasured run of each
// first warms the file cache; a start from a cold cache after boot is slower
// and not reproducible.
//
// For comparison only (no figure): the floor with one line of Arial text
// against the floor, in the same rounds.
//
// "startup_bench report": a whole `--json` run on a described machine, start
// to exit, minus the one-second pause; median of seven. Each run must print
// a finished gather, so a broken one cannot make a fast figure.
#include "figure.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using qni::bench::median;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPairs = 21;
constexpr int kTimeoutMs = 10000;
// The host machine as a user starts the program, on the offscreen platform.
const char* const kDropped[] = {"QT_QPA_PLATFORM=", "QNI_MACHINE=", "QNI_EXIT_WHEN_SHOWN=", "DISPLAY="};

std::vector<std::string> childEnvironment(bool report)
{
    const auto replaced = [](const std::string& kv) {
        return std::any_of(std::begin(kDropped), std::end(kDropped),
                           [&](const char* name) { return kv.rfind(name, 0) == 0; });
    };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (!replaced(*e))
            env.push_back(*e);
    }
    if (report) {
        // A report picks its platform itself and needs no display.
        env.push_back("QNI_MACHINE=" QNI_MACHINES_DIR "/xp-sp3.json");
    } else {
        env.push_back("QT_QPA_PLATFORM=offscreen");
        env.push_back("QNI_EXIT_WHEN_SHOWN=1");
    }
    return env;
}

// Milliseconds from spawn to exit, or a negative value when the program did
// not end by itself with status 0. Standard output goes to *out when given
// (a report is far smaller than a pipe's buffer).
double runOnce(const char* program, const std::vector<std::string>& env, bool report, std::string* out = nullptr,
               const char* option = nullptr)
{
    std::vector<char*> envp;
    for (const std::string& kv : env)
        envp.push_back(const_cast<char*>(kv.c_str()));
    envp.push_back(nullptr);
    char json[] = "--json";
    char* argv[] = {const_cast<char*>(program), report ? json : const_cast<char*>(option), nullptr};

    int pipeFds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (out) {
        if (::pipe(pipeFds) != 0)
            return -1;
        ::posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        ::posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    }
    const auto begin = Clock::now();
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    if (out)
        ::close(pipeFds[1]);
    if (spawned != 0)
        return -1;
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    pollfd p{pidfd, POLLIN, 0};
    const bool ended = pidfd >= 0 && ::poll(&p, 1, kTimeoutMs) == 1;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
    if (!ended)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (pidfd >= 0)
        ::close(pidfd);
    if (out) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            out->append(buffer, size_t(n));
        ::close(pipeFds[0]);
    }
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

int reportOverhead(const char* program)
{
    constexpr int kReportRuns = 7;
    const std::vector<std::string> env = childEnvironment(true);
    std::vector<double> times;
    for (int i = 0; i <= kReportRuns; ++i) {
        std::string out;
        const double ms = runOnce(program, env, true, &out);
        if (ms < 0 || out.find("Information Gathered Successfully!") == std::string::npos) {
            std::fprintf(stderr, "report run %d failed; it printed:\n%s\n", i, out.c_str());
            return 1;
        }
        if (i > 0) // the first one warms the file cache
            times.push_back(ms - 1000);
    }
    std::printf("--json minus the pause: min %.1f ms, max %.1f ms over %d runs\n",
                *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()),
                kReportRuns);
    qni::bench::printFigure("report_overhead_ms", median(times), "ms", qni::bench::Goal::AtMost, 60);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* const programs[] = {QNI_BIN_DIR "/quarn-network-information", QNI_FLOOR_PROGRAM};
    if (argc > 1 && std::strcmp(argv[1], "report") == 0)
        return reportOverhead(programs[0]);
    const std::vector<std::string> env = childEnvironment(false);
    for (const char* program : programs) {
        if (runOnce(program, env, false) < 0) {
            std::fprintf(stderr, "%s did not show its window and end by itself\n", program);
            return 1;
        }
    }
    std::vector<double> times, floors, ratios, labelRatios;
    for (int pair = 0; pair < kPairs; ++pair) {
        const double ms = runOnce(programs[0], env, false);
        const double floor = runOnce(programs[1], env, false);
        const double label = runOnce(programs[1], env, false, nullptr, "--label");
        if (ms < 0 || floor < 0 || label < 0) {
            std::fprintf(stderr, "pair %d failed\n", pair + 1);
            return 1;
        }
        times.push_back(ms);
        floors.push_back(floor);
        ratios.push_back(ms / floor);
        labelRatios.push_back(label / floor);
    }
    const auto [lowest, highest] = std::minmax_element(ratios.begin(), ratios.end());
    std::printf("start to shown over %d pairs: program median %.1f ms (%.1f - %.1f), bare window median %.1f ms "
                "(%.1f - %.1f); ratio spread %.2f - %.2f\n",
                kPairs, median(times), *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()), median(floors),
                *std::min_element(floors.begin(), floors.end()), *std::max_element(floors.begin(), floors.end()),
                *lowest, *highest);
    const auto [labelLowest, labelHighest] = std::minmax_element(labelRatios.begin(), labelRatios.end());
    std::printf("for comparison, the bare window with one line of Arial over the bare window: median %.2f "
                "(%.2f - %.2f)\n",
                median(labelRatios), *labelLowest, *labelHighest);
    qni::bench::printFigure("startup_ms", median(times), "ms", qni::bench::Goal::AtMost, 150);
    qni::bench::printFigure("startup_vs_bare_qt", median(ratios), "ratio", qni::bench::Goal::AtMost, 2.2);
    return 0;
}
