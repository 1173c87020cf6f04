// SPDX-License-Identifier: MIT
#include "app/pause.h"
#include "base/step_failed.h"
#include "support/doubles.h"

#include <gtest/gtest.h>

using namespace qni;

using qni::test::RoundPump;

namespace {

std::string repeated(const std::string& s, int n)
{
    std::string out;
    while (n-- > 0)
        out += s;
    return out;
}

} // namespace

TEST(Pause, PassesOfA100MsSleepAndAnEventRound)
{
    // 3277 seconds overflow the 16-bit pass count: nothing is waited for.
    for (const auto& [seconds, calls] : {std::pair<Int16, std::string>{1, repeated("SE", 10)}, {0, ""},
                                         {-1, ""}, {3276, repeated("SE", 32760)}, {3277, "failed"}}) {
        std::string log;
        RoundPump pump([&] { log += 'E'; });
        try {
            Pause(seconds, pump, [&](std::chrono::milliseconds ms) { log += ms.count() == 100 ? 'S' : '?'; });
        } catch (const StepFailed&) {
            log += "failed";
        }
        EXPECT_EQ(log, calls) << seconds;
    }
}

// A round handles what is pending; a wait handles events as they come and
// notices, within a few milliseconds, a condition that no event announces.
