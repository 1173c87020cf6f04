// SPDX-License-Identifier: MIT
#include "app/pause.h"

#include <QCoreApplication>

#include <thread>

namespace qni {

void sleepFor(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}

void processPendingEvents()
{
    QCoreApplication::processEvents();
}

void Pause(Int16 iSecs, const SleepFunction& sleep, const EventPump& pumpEvents)
{
    const Int16 passes = mul16(iSecs, 10);
    for (int pass = 1; pass <= passes; ++pass) {
        sleep(std::chrono::milliseconds(100));
        pumpEvents();
    }
}

} // namespace qni
