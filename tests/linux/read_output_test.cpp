// SPDX-License-Identifier: MIT
#include "app/output_collection.h"
#include "host/host_platform.h"
#include "ui/qt_event_pump.h"
#include "platform/window_service.h"
#include "runner/read_output.h"
#include "support/machine.h"
#include "support/process_probe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace qni;
using namespace qni::test;

namespace {

// Runs commands through the real bundled interpreter and logs the events of
// a run as tokens: "S" Starting, "C <text>" a chunk, "L <text>" the last
// chunk, "D" Complete, "X" Canceled, "E<code> <message>" Error. The hook runs
// inside each handler, after its token is logged.
class Run : public ::testing::Test {
protected:
    Run()
    {
        qputenv("ComSpec", QNI_BIN_DIR "/qni-cmd");
        ro.setEventPump(&events); // as the window runs it
        const auto add = [this](const QString& token) { log << token, hook ? hook(token) : void(); };
        ro.Error.connect([=](const Text& m, int& code) { add(QStringLiteral("E%1 %2").arg(code).arg(toQt(m))); });
        ro.Starting.connect([=] { add("S"); });
        ro.GotChunk.connect([=, this](const Text& t, bool last) {
            const QString c = toQt(t);
            chunks << c, add((last ? "L " : "C ") + c.trimmed());
        });
        ro.Complete.connect([=] { add("D"); });
        ro.Canceled.connect([=] { add("X"); });
    }
    ~Run() override { qunsetenv("ComSpec"); }
    QStringList run(const QString& command)
    {
        log.clear(), chunks.clear(), ro.SetCommand(fromQt(command)), ro.ProcessCommand();
        return log;
    }
    QString firstLine() const { return chunks.join(QString()).section('\n', 0, 0); }

    QtEventPump events;
    ReadOutput ro{hostPlatform(QStringLiteral("/nonexistent"))};
    QStringList log, chunks;
    std::function<void(const QString&)> hook;
};

TEST_F(Run, TheOutputInReadsOf256BytesThenAnEmptyLastChunk)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"true", {"S", "L ", "D"}},
        {"printf '%0600d' 0", {"S", "C " + QString(256, u'0'), "C " + QString(256, u'0'), "C " + QString(88, u'0'), "L ", "D"}},
        // byte 256 is the middle of a two-byte character
        {"printf '%0255d\\303\\251' 0", {"S", "C " + QString(255, u'0'), "C \u00e9", "L ", "D"}},
    };
    for (const auto& [command, events] : cases)
        EXPECT_EQ(run(QString::fromUtf8(command)), events);
    // Errors come in order through the same pipe; a child keeps the write end.
    run("echo out1; echo err1 >&2; (sleep 0.3; echo late) & echo out2");
    EXPECT_EQ(chunks.join(QString()), "out1\nerr1\nout2\nlate\n");
}

TEST_F(Run, RefusalsComeOnlyAsErrors)
{
    ro.ProcessCommand();
    ro.CancelProcess();
    EXPECT_EQ(log, QStringList({"E1200 Invalid Command.", "E1202 Not currently processing a command!"}));
    // During a run an empty command is refused as empty, and a new command waits for the next run.
    hook = [this](const QString& token) {
        if (token == "S")
            ro.SetCommand(u""), ro.ProcessCommand(), ro.SetCommand(u"echo second");
    };
    EXPECT_EQ(run("echo first"), QStringList({"S", "E1200 Invalid Command.", "C first", "L ", "D"}));
    EXPECT_EQ(ro.command(), u"echo second");
}

TEST_F(Run, CancelAndRunAgainFromTheHandlers)
{
    enum Act { Cancel, CancelQueued, Again };
    const std::tuple<Act, const char*, QStringList> cases[] = {
        {Cancel, "S", {"S", "C %P", "L ", "D"}}, // a run starts by clearing the request
        {Cancel, "C ", {"S", "C %P", "E1203 Cannot close process id: %P"}},
        {Cancel, "D", {"S", "C %P", "L ", "D", "E1203 Cannot close process id: %P"}},
        {CancelQueued, "S", {"S", "E1203 Cannot close process id: %P"}}, // events are handled before the first read
        {Again, "C ", {"S", "C %P", "E1201 Currently processing a command!", "L ", "D"}},
    };
    for (const auto& [act, at, events] : cases) {
        hook = [&, act = act, at = at](const QString& token) {
            if (token.startsWith(QLatin1String(at)))
                act == Again ? ro.ProcessCommand()
                : act == Cancel ? ro.CancelProcess()
                                : void(QMetaObject::invokeMethod(QCoreApplication::instance(), [this] { ro.CancelProcess(); }, Qt::QueuedConnection));
        };
        run("echo $$; sleep 0.5"); // the interpreter execs the shell: $$ is the run's process
        const QString pid = act == CancelQueued ? log.value(1).section(' ', -1) : firstLine();
        EXPECT_EQ(log, QStringList(events).replaceInStrings("%P", pid)) << at;
        // Stopped reading early, the run did not wait for its command; it is reaped when it ends.
        EXPECT_TRUE(events.size() > 3 || !reaped(pid.toLongLong())) << at;
        EXPECT_TRUE(eventually([&] { return reaped(pid.toLongLong()); })) << at;
    }
}

// While the command is silent the window's events go on, and a cancellation
// they bring ends the run at once, not at the command's next output.
TEST_F(Run, ASilentCommandLeavesTheEventsGoingAndCanBeCancelled)
{
    QTimer::singleShot(300, [this] { ro.CancelProcess(); });
    QElapsedTimer took;
    took.start();
    run("echo $$; sleep 5; echo late");
    EXPECT_LT(took.elapsed(), 2000);
    EXPECT_EQ(log, QStringList({"S", "C %P", "E1203 Cannot close process id: %P"}).replaceInStrings("%P", firstLine()));
}

// A command that never ends, or whose child keeps the pipe open, is cancelled
// at the run's time limit; one that writes without end is cut off where the
// output box stops taking it.
TEST_F(Run, NoCommandHoldsTheRunForEver)
{
    ro.setTimeLimit(std::chrono::milliseconds(500));
    for (const char* command : {"echo $$; sleep 30", "echo $$; sleep 30 & echo child"}) {
        QElapsedTimer took;
        took.start();
        run(QString::fromLatin1(command));
        EXPECT_TRUE(took.elapsed() >= 500 && took.elapsed() < 3000) << command << ' ' << took.elapsed();
        EXPECT_TRUE(ro.timedOut()) << command;
        EXPECT_EQ(log.last(), "E1203 Cannot close process id: " + firstLine()) << command;
    }
    ro.setTimeLimit(std::chrono::milliseconds(0));
    PlainTextSlot box;
    collectOutput(ro, box);
    run("yes");
    EXPECT_EQ(box.get().size(), kOutputLimit);
    EXPECT_TRUE(outputWasCut(box) && !ro.timedOut());
    EXPECT_TRUE(log.last().startsWith("E1203 ")) << log.last().toStdString();
}

TEST_F(Run, AThrowingHandlerStillEndsTheRun)
{
    run("echo $$");
    const qint64 first = firstLine().toLongLong();
    ASSERT_TRUE(eventually([first] { return reaped(first); }));
    const int before = openDescriptors();
    hook = [](const QString& token) { token.startsWith("C ") ? throw std::runtime_error("handler") : void(); };
    EXPECT_THROW(run("echo $$; sleep 0.2; echo more"), std::runtime_error);
    const qint64 pid = firstLine().toLongLong();
    EXPECT_TRUE(eventually([&] { return reaped(pid) && openDescriptors() == before; })); // the closed pipe ends it
    hook = nullptr;
    EXPECT_EQ(run("echo again"), QStringList({"S", "C again", "L ", "D"}));
}

TEST_F(Run, FailedStartsCarryTheSystemsErrorNumber)
{
    QTemporaryFile notExecutable;
    ASSERT_TRUE(notExecutable.open());
    // A path that holds a quote cannot be quoted: the start is refused.
    for (const auto& [comSpec, error] : {std::pair<QByteArray, int>{"/nonexistent/qni-cmd", ENOENT},
                                         {QFile::encodeName(notExecutable.fileName()), EACCES},
                                         {"/bin/sh\"x", EINVAL}}) {
        qputenv("ComSpec", comSpec);
        EXPECT_EQ(run("echo x"), QStringList{QStringLiteral("E%1 CreateProcess failed.").arg(error)});
    }
    // No descriptor number left below the limit: the pipe cannot be made.
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    const rlimit full{rlim_t(lowestFree), limit.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &full);
    run("echo x");
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_EQ(log, QStringList{QStringLiteral("E%1 CreatePipe failed.").arg(EMFILE)});
    qputenv("ComSpec", "/bin/echo"); // prints the one argument it gets: the command quoted once more
    run(R"(echo "hi")");
    EXPECT_EQ(chunks.join(QString()), R"( /c "echo "hi"")" "\n");
}

} // namespace
