// A thousand gathers in one process, in the real window, with the real
// runner, process service and bundled command interpreter: what a run opens,
// starts and allocates it must give back. Only the one-second pause is left
// out, so that a thousand runs take seconds.
#include "app/gather.h"
#include "app/network_section.h"
#include "app/pause.h"
#include "base/result_boxes.h"
#include "platform/described/platform_from_environment.h"
#include "runner/read_output.h"
#include "ui/main_window.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <thread>

#include <dirent.h>
#include <malloc.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace qni;

namespace {

constexpr int kRuns = 1000;
constexpr int kSettledAfter = 100;

struct Usage {
    int descriptors = 0;
    int children = 0; // processes whose parent is this one, zombies included
    qint64 residentKb = 0;
    qint64 heapBytes = 0; // in use by malloc
};

int openDescriptors()
{
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return -1;
    int n = 0;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] != '.')
            ++n;
    }
    ::closedir(dir);
    return n - 1; // the listing's own descriptor
}

int childProcesses()
{
    int n = 0;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs);
    for (const QString& pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid ...; comm may hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toInt() == ::getpid())
            ++n;
    }
    return n;
}

qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong();
    }
    return -1;
}

// Children end a moment after their output does and are reaped in the
// background: wait for that before counting.
Usage settledUsage()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (childProcesses() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const struct mallinfo2 heap = ::mallinfo2();
    return {openDescriptors(), childProcesses(), residentKb(), static_cast<qint64>(heap.uordblks + heap.hblkhd)};
}

// The click handler of "Gather Info" with a pause that does not wait.
void gatherWithoutPause(FrmMain& w)
{
    auto* runner = w.findChild<ReadOutput*>(QStringLiteral("ReadOutput1"));
    ASSERT_NE(runner, nullptr);
    GatherHost host{w.boxes(), w.platform(), processPendingEvents,
                    [](const QString& text) { ADD_FAILURE() << "message box: " << text.toStdString(); },
                    [&](const BoxFailed& failed) {
                        NetworkHost network{w.boxes(), w.platform(), *runner, [](Int16) {}, w.settings().publicPage, failed};
                        runNetworkSection(network);
                    }};
    runGather(host);
}

struct Scenario {
    const char* name;
    const char* comSpec;
    QString mac; // what every run leaves in the MAC box
};

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

class ThousandGathers : public ::testing::TestWithParam<Scenario> {};

TEST_P(ThousandGathers, GiveBackDescriptorsProcessesAndMemory)
{
    const Scenario& s = GetParam();
    qputenv("QNI_MACHINE", QNI_TEST_DATA "/machines/xp-sp3.json");
    qputenv("ComSpec", s.comSpec);
    FrmMain w(platformFromEnvironment());
    w.setEndProgram([] {});
    w.show();

    Usage settled;
    for (int run = 1; run <= kRuns; ++run) {
        gatherWithoutPause(w);
        if (run == 1 || run == kRuns) {
            // Without the interpreter there is no MAC address, and the status says so.
            EXPECT_EQ(w.boxes().lblStatus.get(), s.mac.isEmpty() ? kGatheredWithErrors : kGathered) << "run " << run;
            EXPECT_EQ(w.boxes().txtMac.get(), s.mac) << "run " << run;
            EXPECT_EQ(w.boxes().txtINTIP.get(), QStringLiteral("81.2.3.4")) << "run " << run;
        }
        if (run == kSettledAfter)
            settled = settledUsage();
    }
    const Usage last = settledUsage();

    EXPECT_EQ(settled.children, 0);
    EXPECT_EQ(last.children, 0) << "children left unreaped";
    EXPECT_EQ(last.descriptors, settled.descriptors) << "descriptors after run 100 and after run 1000";
    // Generous bounds: the heap in use wanders by about 15 kB between runs 100
    // and 1000 (and no further by run 5000); keeping 80 bytes a run would
    // cross it. The resident size also carries the allocator's and Qt's caches.
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine, so sizes only grow;
    // its leak checker watches the heap instead.
    return;
#endif
    EXPECT_LT(last.heapBytes - settled.heapBytes, 64 * 1024)
        << "heap in use grew from " << settled.heapBytes << " to " << last.heapBytes << " bytes";
    EXPECT_LT(last.residentKb - settled.residentKb, 4 * 1024)
        << "resident size grew from " << settled.residentKb << " to " << last.residentKb << " kB";
}

INSTANTIATE_TEST_SUITE_P(
    DescribedXpMachine, ThousandGathers,
    ::testing::Values(
        // The interpreter writes the described "ipconfig /all" into the pipe.
        Scenario{"described_ipconfig", QNI_BIN_DIR "/qni-cmd", QStringLiteral("00-0C-29-4F-1A-2B")},
        // Every start fails: the pipe's two ends must still be closed.
        Scenario{"interpreter_missing", "/nonexistent/qni-cmd", QString()}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
