// SPDX-License-Identifier: MIT
#include "app/pause.h"
#include "app/qt_event_pump.h"
#include "base/step_failed.h"
#include "support/machine.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace qni;

using qni::test::RoundPump;

TEST(Pause, PassesOfA100MsSleepAndAnEventRound)
{
    // 3277 seconds overflow the 16-bit pass count: nothing is waited for.
    for (const auto& [seconds, calls] : {std::pair<Int16, QByteArray>{1, QByteArray("SE").repeated(10)}, {0, ""},
                                         {-1, ""}, {3276, QByteArray("SE").repeated(32760)}, {3277, "failed"}}) {
        QByteArray log;
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
TEST(EventPump, RoundsHandleWhatIsPendingAndWaitsKeepHandling)
{
    QtEventPump pump;
    int handled = 0;
    const auto post = [&] { QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ++handled; }, Qt::QueuedConnection); };
    post(), pump.processEvents();
    EXPECT_EQ(handled, 1);
    QElapsedTimer waited;
    waited.start();
    post(), pump.waitUntil([&] { return waited.elapsed() >= 100; });
    EXPECT_LT(waited.elapsed(), 150);
    EXPECT_EQ(handled, 2);
}
