#include "runner_support.h"
#include "support/fake_platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qni::test {
namespace {

using ::testing::_;
using ::testing::Return;
using ::testing::StrictMock;

class MockWindows : public InertWindows {
public:
    MOCK_METHOD(QList<TopLevelWindow>, topLevelWindows, (), (override));
    MOCK_METHOD(bool, postMessage, (WindowId, quint32, qint64, qint64), (override));
};

class MockProcesses : public InertProcesses {
public:
    MOCK_METHOD(ProcessHandle, openProcess, (qint64), (override));
    MOCK_METHOD(bool, terminateProcess, (ProcessHandle, quint32), (override));
    MOCK_METHOD(void, closeProcessHandle, (ProcessHandle), (override));
};

TEST(OperatingSystemFamily, IsTheNinetyFiveFamilyExactly)
{
    const struct {
        const char* system;
        VersionRecord version;
        bool win9x;
    } table[] = {
        {"Windows 95", {4, 0, 1}, true},      {"Windows 98", {4, 10, 1}, true},   {"Windows Me", {4, 90, 1}, true},
        {"Windows NT 4.0", {4, 0, 2}, false}, {"Windows 2000", {5, 0, 2}, false}, {"Windows XP", {5, 1, 2}, false},
        {"no answer", {0, 0, 0}, false},      {"4.1 on NT", {4, 1, 2}, true},     {"6.0 on 9x", {6, 0, 1}, true},
    };
    for (const auto& row : table)
        EXPECT_EQ(isWin9xFamily(row.version), row.win9x) << row.system;
}

class CloseProcess : public ::testing::Test {
protected:
    std::shared_ptr<StrictMock<MockWindows>> windows = std::make_shared<StrictMock<MockWindows>>();
    std::shared_ptr<StrictMock<MockProcesses>> processes = std::make_shared<StrictMock<MockProcesses>>();
    ReadOutput ro{[this] {
        Platform p;
        p.processes = processes;
        p.windows = windows;
        p.versionRecord = {5, 1, 2};
        return p;
    }()};
    // Two parentless windows of 42, one owned by the first, one of another process.
    const QList<WindowService::TopLevelWindow> walk = {{1, 0, 42}, {2, 0, 7}, {3, 1, 42}, {4, 0, 42}};
};

TEST_F(CloseProcess, AsksEveryParentlessWindowOfTheProcessToClose)
{
    EXPECT_CALL(*windows, topLevelWindows()).Times(2).WillRepeatedly(Return(walk));
    EXPECT_CALL(*windows, postMessage(1, kWmClose, 0, 0)).WillOnce(Return(true));
    EXPECT_CALL(*windows, postMessage(4, kWmClose, 0, 0)).WillOnce(Return(true));
    EXPECT_TRUE(ro.CloseProcess(42));
    EXPECT_FALSE(ro.CloseProcess(43)); // owns no window
}

TEST_F(CloseProcess, OnTheNinetyFiveFamilyEndsTheSessionThenTerminates)
{
    int versionAsked = 0;
    ro.setVersionSource([&] { return ++versionAsked, VersionRecord{4, 10, 1}; });
    EXPECT_CALL(*windows, topLevelWindows()).WillRepeatedly(Return(walk));
    EXPECT_CALL(*windows, postMessage(_, kWmEndSession, -1, 0)).Times(6).WillRepeatedly(Return(true));
    EXPECT_CALL(*processes, openProcess(42)).WillOnce(Return(99)).WillOnce(Return(99)).WillOnce(Return(0));
    EXPECT_CALL(*processes, terminateProcess(99, 0u)).WillOnce(Return(true)); // the exit code defaults to 0
    EXPECT_CALL(*processes, terminateProcess(99, 5u)).WillOnce(Return(false));
    EXPECT_CALL(*processes, closeProcessHandle(99)).Times(2);

    EXPECT_TRUE(ro.CloseProcess(42));
    EXPECT_FALSE(ro.CloseProcess(42, 5)); // not terminated: the handle is closed all the same
    EXPECT_FALSE(ro.CloseProcess(42));    // cannot be opened
    EXPECT_FALSE(ro.CloseProcess(43));    // no window: nothing is opened
    EXPECT_EQ(versionAsked, 1);
}

TEST(CloseProcessHost, WithoutADisplayFindsNothing)
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    ReadOutput ro(hostRunnerPlatform());
    ro.setVersionSource([] { return VersionRecord{4, 10, 1}; });
    EXPECT_TRUE(makeHostWindowService()->topLevelWindows().isEmpty());
    EXPECT_FALSE(ro.CloseProcess(int(::getpid())));
    if (!display.isNull())
        qputenv("DISPLAY", display);
}

} // namespace
} // namespace qni::test
