// SPDX-License-Identifier: MIT
#include "app/pause.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <thread>

namespace qni {

void sleepFor(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}

void processPendingEvents()
{
    // Qt's own queued events every time. New input from the system (a poll,
    // which costs as much as reading 256 bytes of a command's output) at
    // most once a millisecond: the runner calls this before every 256-byte
    // read, and a millisecond is far below what anyone can see.
    static QElapsedTimer sinceSystemAsked;
    if (sinceSystemAsked.isValid() && sinceSystemAsked.nsecsElapsed() < 1'000'000) {
        QCoreApplication::sendPostedEvents();
        return;
    }
    QCoreApplication::processEvents();
    sinceSystemAsked.start();
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
