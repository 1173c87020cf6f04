// SPDX-License-Identifier: MIT
#include "ui/qt_event_pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace qni;

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
