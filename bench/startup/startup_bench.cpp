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

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPairs = 21;
constexpr int kTimeoutMs = 10000;
// The host machine as a user starts the program, on the offscreen platform.
const char* const kDropped[] = {"QT_QPA_PLATFORM=", "QNI_MACHINE=", "QNI_EXIT_WHEN_SHOWN="};

std::vector<std::string> childEnvironment()
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
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("QNI_EXIT_WHEN_SHOWN=1");
    return env;
}

// Milliseconds from spawn to exit, or a negative value when the program did
// not end by itself with status 0.
double runOnce(const char* program, const std::vector<std::string>& env)
{
    std::vector<char*> envp;
    for (const std::string& kv : env)
        envp.push_back(const_cast<char*>(kv.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program), nullptr};

    const auto begin = Clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, program, nullptr, nullptr, argv, envp.data()) != 0)
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
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main()
{
    const char* const programs[] = {QNI_BIN_DIR "/quarn-network-information", QNI_FLOOR_PROGRAM};
    const std::vector<std::string> env = childEnvironment();
    for (const char* program : programs) {
        if (runOnce(program, env) < 0) {
            std::fprintf(stderr, "%s did not show its window and end by itself\n", program);
            return 1;
        }
    }
    std::vector<double> times, floors, ratios;
    for (int pair = 0; pair < kPairs; ++pair) {
        const double ms = runOnce(programs[0], env);
        const double floor = runOnce(programs[1], env);
        if (ms < 0 || floor < 0) {
            std::fprintf(stderr, "pair %d failed\n", pair + 1);
            return 1;
        }
        times.push_back(ms);
        floors.push_back(floor);
        ratios.push_back(ms / floor);
    }
    const auto [lowest, highest] = std::minmax_element(ratios.begin(), ratios.end());
    std::printf("start to shown over %d pairs: program median %.1f ms (%.1f - %.1f), bare window median %.1f ms "
                "(%.1f - %.1f); ratio spread %.2f - %.2f\n",
                kPairs, median(times), *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()), median(floors),
                *std::min_element(floors.begin(), floors.end()), *std::max_element(floors.begin(), floors.end()),
                *lowest, *highest);
    qni::bench::printFigure("startup_ms", median(times), "ms", qni::bench::Goal::AtMost, 150);
    qni::bench::printFigure("startup_vs_bare_qt", median(ratios), "ratio", qni::bench::Goal::AtMost, 1.5);
    return 0;
}
