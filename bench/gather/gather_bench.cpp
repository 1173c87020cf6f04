// SPDX-License-Identifier: MIT
// A whole gather in the real main window (offscreen), clicked as the user
// clicks "Gather Info", on the described Windows XP machine of the tests:
// the management, registry, address and page answers come from the
// description, and "ipconfig /all" is written by the real bundled command
// interpreter through the real runner and pipe.
//
//   gather_bench overhead   median time of a gather minus its 1-second pause
//   gather_bench peak-rss   peak resident memory of a process after one gather
//   gather_bench fetch      the page fetch of a gather against loopback servers
//                           that accept and then never answer, or trickle
//   gather_bench stall      the longest time the window handles no events
//                           during a gather whose page never comes and whose
//                           command writes a line every 300 ms for 3 s
#include "figure.h"

#include "app/gather.h"
#include "app/pause.h"
#include "base/result_boxes.h"
#include "host/qt_text.h"
#include "host/platform_from_environment.h"
#include "host/host_platform.h"
#include "platform/network.h"
#include "ui/app_metadata.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace qni;
using namespace qni::bench;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kPauseMs = 1000.0; // the network section's Pause 1
constexpr int kOverheadRuns = 7;

double msSince(Clock::time_point begin)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

// The real window as main() builds it, shown and exposed.
struct Window {
    explicit Window(Platform platform) : w(std::move(platform))
    {
        w.setEndProgram([] {});
        w.setMessageHandler([](const QString& text) {
            std::fprintf(stderr, "unexpected message box: %s\n", qPrintable(text));
        });
        w.show();
        const auto begin = Clock::now();
        while (!(w.windowHandle() && w.windowHandle()->isExposed()) && msSince(begin) < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::processEvents();
    }

    // One click of "Gather Info"; returns its wall time in milliseconds.
    double gather()
    {
        auto* button = w.findChild<QPushButton*>(QStringLiteral("cmdGet"));
        const auto begin = Clock::now();
        button->click();
        return msSince(begin);
    }

    // A gather that went wrong would make a fast figure meaningless. Without
    // the page, the run must say that the page was the one thing missing.
    bool gatheredTheDescribedMachine(bool withPage = true)
    {
        ResultBoxes& b = w.boxes();
        const bool pageOnly = w.lastOutcome().failures.size() == 1 &&
                              w.lastOutcome().failures.front().fact == Fact::InternetAddress;
        const bool ok = b.lblStatus.get() == (withPage ? kGathered : kGatheredWithErrors) && (withPage || pageOnly) &&
                        b.txtMac.get() == u"00-0C-29-4F-1A-2B" && b.txtCPUSpeed.get() == u"2992 Mhz" &&
                        b.txtMask.get() == u"255.255.255.0" && (!withPage || b.txtINTIP.get() == u"81.2.3.4");
        if (!ok)
            std::fprintf(stderr, "the gather did not fill the boxes: status \"%s\", MAC \"%s\", address \"%s\"\n",
                         toUtf8(b.lblStatus.get()).c_str(), toUtf8(b.txtMac.get()).c_str(), toUtf8(b.txtINTIP.get()).c_str());
        return ok;
    }

    FrmMain w;
};

int overhead()
{
    Window window(platformFromEnvironment());
    std::vector<double> extra;
    for (int run = 0; run < kOverheadRuns; ++run) {
        const double ms = window.gather();
        if (!window.gatheredTheDescribedMachine())
            return 1;
        extra.push_back(ms - kPauseMs);
        std::printf("gather %d: %.1f ms (%.1f ms beyond the pause)\n", run + 1, ms, ms - kPauseMs);
    }
    // For reading the figure: how much of it is the pause running over its
    // second (sleep overshoot and the pause's own event rounds).
    std::vector<double> pauses;
    for (int run = 0; run < 3; ++run) {
        const auto begin = Clock::now();
        Pause(1, window.w.events(), window.w.platform().sleep);
        pauses.push_back(msSince(begin) - kPauseMs);
    }
    std::printf("the pause alone runs %.1f ms over its second\n", median(pauses));
    printFigure("gather_overhead_ms", median(extra), "ms", Goal::AtMost, 25);
    return 0;
}

double vmHighWaterMarkMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    }
    return -1;
}

int peakRss()
{
    Window window(platformFromEnvironment());
    std::printf("peak before the gather, window shown: %.1f MB\n", vmHighWaterMarkMb());
    window.gather();
    if (!window.gatheredTheDescribedMachine())
        return 1;
    const double mb = vmHighWaterMarkMb();
    if (mb < 0)
        return 1;
    printFigure("peak_rss_mb", mb, "MB", Goal::AtMost, 45);
    return 0;
}

// A server on 127.0.0.1 that accepts every connection and then either says
// nothing at all or sends a response one byte every 200 ms. Stops by itself
// after its lifetime, or when destroyed.
class StallingServer {
public:
    enum class Kind { Silent, Trickle };

    StallingServer(Kind kind, std::chrono::seconds lifetime) : kind_(kind)
    {
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (listen_ < 0 || ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(listen_, 8) != 0 || ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this, deadline = Clock::now() + lifetime] { serve(deadline); });
    }

    ~StallingServer()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (listen_ >= 0)
            ::close(listen_);
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }
    bool listening() const { return port_ != 0; }

private:
    void serve(Clock::time_point deadline)
    {
        std::vector<int> peers;
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 100000\r\n\r\n";
        while (!stop_ && Clock::now() < deadline) {
            pollfd p{listen_, POLLIN, 0};
            if (::poll(&p, 1, 200) > 0) {
                const int peer = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
                if (peer >= 0) {
                    peers.push_back(peer);
                    if (kind_ == Kind::Trickle)
                        (void)!::send(peer, head.constData(), head.size(), MSG_NOSIGNAL);
                }
            }
            if (kind_ == Kind::Trickle) {
                for (const int peer : peers)
                    (void)!::send(peer, "1", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
            }
        }
        for (const int peer : peers)
            ::close(peer);
    }

    Kind kind_;
    int listen_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The seam: the program asks for its constant page address; the host's
// fetch is handed the loopback server's instead, and timed.
class RedirectedInternet final : public Internet {
public:
    RedirectedInternet(std::shared_ptr<Internet> inner, const QString& url) : inner_(std::move(inner)), url_(fromQt(url)) {}

    Text openUrl(const Text&, EventPump& events) override
    {
        begin = Clock::now();
        const auto timed = qScopeGuard([&] {
            end = Clock::now();
            seconds = msSince(begin) / 1000.0;
        });
        return inner_->openUrl(url_, events);
    }

    double seconds = -1;
    Clock::time_point begin, end;

private:
    std::shared_ptr<Internet> inner_;
    Text url_;
};

// The described machine, its pages fetched by the host's real fetch through
// `internet`.
Platform pagesFrom(std::shared_ptr<Internet> internet)
{
    Platform platform = platformFromEnvironment();
    platform.internet = std::move(internet);
    return platform;
}

int fetch()
{
    // No proxy from the environment may carry the loopback request away.
    qputenv("no_proxy", "127.0.0.1");
    qputenv("NO_PROXY", "127.0.0.1");
    double worst = 0;
    for (const auto& [kind, name] : {std::pair{StallingServer::Kind::Silent, "silent"},
                                     std::pair{StallingServer::Kind::Trickle, "trickle"}}) {
        StallingServer server(kind, std::chrono::seconds(30));
        if (!server.listening())
            return 1;
        const auto internet = std::make_shared<RedirectedInternet>(makeHostInternet(), server.url());
        Window window(pagesFrom(internet));
        const double ms = window.gather();
        if (!window.gatheredTheDescribedMachine(false) || internet->seconds < 0)
            return 1;
        std::printf("%s server: fetch %.2f s, whole gather %.2f s\n", name, internet->seconds, ms / 1000);
        worst = std::max(worst, internet->seconds);
    }
    printFigure("fetch_worst_s", worst, "s", Goal::AtMost, 10.5);
    return 0;
}

// A 5 ms timer fires only when the window's thread handles events, so the
// longest gap between two firings is the longest stall, to within 5 ms. Each
// gap is kept with the time it ended.
class StallMeter {
public:
    StallMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }

    void start()
    {
        gaps_.clear();
        last_ = Clock::now();
        timer_.start();
    }
    void stop()
    {
        tick();
        timer_.stop();
    }

    // The longest gap that ended within [from, to].
    double longest(Clock::time_point from = Clock::time_point::min(),
                   Clock::time_point to = Clock::time_point::max()) const
    {
        double ms = 0;
        for (const auto& [end, gap] : gaps_)
            if (end >= from && end <= to)
                ms = std::max(ms, gap);
        return ms;
    }

private:
    void tick()
    {
        const auto now = Clock::now();
        gaps_.emplace_back(now, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    }

    QTimer timer_;
    Clock::time_point last_;
    std::vector<std::pair<Clock::time_point, double>> gaps_;
};

int stall()
{
    qputenv("no_proxy", "127.0.0.1");
    qputenv("NO_PROXY", "127.0.0.1");
    // The interpreter stands in for "ipconfig /all" with a slow writer.
    QTemporaryDir dir;
    const QString interpreter = dir.filePath(QStringLiteral("slow-cmd"));
    QFile script(interpreter);
    if (!script.open(QIODevice::WriteOnly) ||
        script.write("#!/bin/sh\nfor i in 1 2 3 4 5 6 7 8 9 10; do echo \"line $i\"; sleep 0.3; done\n") < 0 ||
        !script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return 1;
    script.close();
    qputenv("ComSpec", interpreter.toLocal8Bit());

    StallingServer server(StallingServer::Kind::Silent, std::chrono::seconds(30));
    if (!server.listening())
        return 1;
    const auto internet = std::make_shared<RedirectedInternet>(makeHostInternet(), server.url());
    Window window(pagesFrom(internet));

    StallMeter meter;
    meter.start();
    const auto begin = Clock::now();
    const double ms = window.gather();
    meter.stop();
    // Both waits must really have happened, or the figure means nothing.
    if (internet->seconds < 9.9 || msSince(begin) < internet->seconds * 1000 + 3000 + kPauseMs) {
        std::fprintf(stderr, "the gather did not wait for the command and the page: %.2f s, fetch %.2f s\n",
                     ms / 1000, internet->seconds);
        return 1;
    }
    std::printf("gather %.2f s; longest stall: %.1f ms before the fetch (probes and the slow command), "
                "%.1f ms during the fetch (%.2f s), %.1f ms after it (the pause)\n",
                ms / 1000, meter.longest(begin, internet->begin), meter.longest(internet->begin, internet->end),
                internet->seconds, meter.longest(internet->end));
    printFigure("ui_stall_max_ms", meter.longest(), "ms", Goal::AtMost, 150);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("overhead");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The interpreter beside the program, as an installed program finds it.
    qputenv("ComSpec", QNI_BIN_DIR "/qni-cmd");
    qputenv("QNI_MACHINE", QNI_MACHINES_DIR "/xp-sp3.json");

    QApplication app(argc, argv);
    applyApplicationMetadata(app);
    QApplication::setWindowIcon(applicationIcon());

    if (mode == "overhead")
        return overhead();
    if (mode == "peak-rss")
        return peakRss();
    if (mode == "fetch")
        return fetch();
    if (mode == "stall")
        return stall();
    std::fprintf(stderr, "usage: gather_bench [overhead|peak-rss|fetch|stall]\n");
    return 2;
}
