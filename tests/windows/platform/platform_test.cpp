// SPDX-License-Identifier: MIT
#include "windows_platform.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace qni;

TEST(WindowsPlatform, EveryServiceTheNtVersionAndTheSystemsSleep)
{
    const Platform p = windowsPlatform();
    EXPECT_TRUE(p.management && p.registry && p.processes && p.windows && p.sockets && p.internet && p.shell);
    EXPECT_FALSE(p.hostIdentity);
    EXPECT_GE(p.versionRecord.major, 5);
    EXPECT_EQ(p.versionRecord.platformId, 2); // VER_PLATFORM_WIN32_NT
    ASSERT_TRUE(p.sleep);
    const auto start = std::chrono::steady_clock::now();
    p.sleep(std::chrono::milliseconds(50));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
}
