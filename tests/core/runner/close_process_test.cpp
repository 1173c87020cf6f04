// SPDX-License-Identifier: MIT
#include "platform/window_service.h"
#include "runner/read_output.h"
#include "support/doubles.h"

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

// Closing a process by the family of the system the version source names:
// on Windows 95, 98 and Me the session's end is posted to the process's
// parentless windows and the process is terminated, elsewhere they are asked
// to close. The family is asked once per control.
TEST(CloseProcess, ByTheSystemsFamily)
{
    const struct {
        VersionRecord version;
        std::int64_t process;
        bool closed;
        std::vector<std::string> calls;
    } cases[] = {
        {{4, 0, 1}, 42, true, {"post 1 22 -1", "post 4 22 -1", "open 42", "terminate 9 5", "close 9"}}, // 95
        {{4, 90, 1}, 42, true, {"post 1 22 -1", "post 4 22 -1", "open 42", "terminate 9 5", "close 9"}}, // Me
        {{4, 10, 2}, 42, true, {"post 1 22 -1", "post 4 22 -1", "open 42", "terminate 9 5", "close 9"}},
        {{4, 0, 1}, 8, false, {}},                                    // no window: nothing terminated
        {{4, 0, 2}, 42, true, {"post 1 16 0", "post 4 16 0"}},        // NT 4.0
        {{5, 1, 2}, 42, true, {"post 1 16 0", "post 4 16 0"}},        // XP
        {{5, 1, 2}, 8, false, {}},
    };
    for (const auto& c : cases) {
        Platform platform;
        const auto processes = std::make_shared<ScriptedProcesses>();
        platform.processes = processes;
        const auto windows = std::make_shared<ListedWindows>();
        windows->windows = {{1, 0, 42}, {2, 1, 42}, {3, 0, 7}, {4, 0, 42}};
        windows->log = &processes->log;
        platform.windows = windows;
        ReadOutput ro(platform);
        int asked = 0;
        ro.setVersionSource([&] { return ++asked, c.version; });
        EXPECT_EQ(ro.CloseProcess(int(c.process), 5), c.closed);
        EXPECT_EQ(processes->log, c.calls) << c.version.major << '.' << c.version.minor << ' ' << c.process;
        ro.CloseProcess(int(c.process));
        EXPECT_EQ(asked, 1);
    }
}

} // namespace
