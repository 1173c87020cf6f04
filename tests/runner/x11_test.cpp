#include "runner_support.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>

namespace qni::test {
namespace {

class X11 : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        qputenv("ComSpec", QNI_BIN_DIR "/qni-cmd");
    }
    void TearDown() override { qunsetenv("ComSpec"); }

    ReadOutput ro{hostRunnerPlatform()};
};

TEST_F(X11, CloseProcessAsksTheParentlessWindowsToCloseAndTheProgramEndsByItself)
{
    QProcess program;
    program.start(QStringLiteral(QNI_TEST_WINDOW), {"2", "--owned"});
    ASSERT_TRUE(program.waitForReadyRead(10000));
    ASSERT_EQ(program.readLine(), "ready\n");

    QList<WindowService::TopLevelWindow> mine;
    for (const auto& w : makeHostWindowService()->topLevelWindows())
        if (w.processId == program.processId())
            mine << w;
    ASSERT_EQ(mine.size(), 3);
    const auto owned = std::find_if(mine.begin(), mine.end(), [](const auto& w) { return w.parent != 0; });
    ASSERT_NE(owned, mine.end());
    EXPECT_TRUE(std::any_of(mine.begin(), mine.end(), [&](const auto& w) { return w.window == owned->parent; }));

    EXPECT_TRUE(ro.CloseProcess(int(program.processId())));
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0); // both parentless windows asked, the owned one not

    QProcess windowless;
    windowless.start(QStringLiteral("sleep"), {"5"});
    ASSERT_TRUE(windowless.waitForStarted());
    EXPECT_FALSE(ro.CloseProcess(int(windowless.processId())));
    windowless.kill();
    windowless.waitForFinished();
}

TEST_F(X11, ACancelledRunAsksItsCommandToClose)
{
    EventLog events(ro);
    events.hook = [&](const QString& token) {
        if (token.startsWith("C ") && token.endsWith("ready"))
            ro.CancelProcess();
    };
    ro.SetCommand(QStringLiteral("echo $$; exec " QNI_TEST_WINDOW));
    ro.ProcessCommand();
    const qint64 pid = events.output().section('\n', 0, 0).toLongLong();
    EXPECT_EQ(events.output(), QStringLiteral("%1\nready\n").arg(pid));
    EXPECT_EQ(events.log.back(), "X");
    EXPECT_TRUE(eventually([pid] { return reaped(pid); }));
}

} // namespace
} // namespace qni::test
