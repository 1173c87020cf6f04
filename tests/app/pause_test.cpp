// SPDX-License-Identifier: MIT
#include "app/pause.h"
#include "app/qt_event_pump.h"
#include "base/step_failed.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qni;

namespace {

struct LoggingPump final : EventPump {
    QByteArray& log;
    explicit LoggingPump(QByteArray& l) : log(l) {}
    void processEvents() override { log += 'E'; }
    void waitUntil(const std::function<bool()>&) override { log += 'W'; }
};

} // namespace

TEST(Pause, PassesOfA100MsSleepAndAnEventRound)
{
    // 3277 seconds overflow the 16-bit pass count: nothing is waited for.
    for (const auto& [seconds, calls] : {std::pair<Int16, QByteArray>{1, QByteArray("SE").repeated(10)}, {0, ""},
                                         {-1, ""}, {3276, QByteArray("SE").repeated(32760)}, {3277, "failed"}}) {
        QByteArray log;
        LoggingPump pump(log);
        try {
            Pause(seconds, pump, [&](std::chrono::milliseconds ms) { log += ms.count() == 100 ? 'S' : '?'; });
        } catch (const StepFailed&) {
            log += "failed";
        }
        EXPECT_EQ(log, calls) << seconds;
    }
}

// Each round handles everything pending, timers and posted work alike; a
// wait handles events as they come and notices a condition that no event
// announces within a few milliseconds.
TEST(EventPump, RoundsHandleWhatIsPendingAndWaitsKeepHandling)
{
    QtEventPump pump;
    int handled = 0;
    for (int call = 1; call <= 3; ++call) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ++handled; }, Qt::QueuedConnection);
        pump.processEvents();
        EXPECT_EQ(handled, call);
    }
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    QElapsedTimer waited;
    waited.start();
    pump.waitUntil([&] { return waited.elapsed() >= 200; });
    EXPECT_LT(waited.elapsed(), 250);
    EXPECT_GE(ticks, 10);
}
