// SPDX-License-Identifier: MIT
#include "ui/qt_event_pump.h"

#include <QCoreApplication>
#include <QTimer>

namespace qni {

namespace {

// How soon a wait asks again when nothing wakes the loop: far below what
// anyone notices, and cheap when idle.
constexpr int kAskAgainMs = 5;

} // namespace

void QtEventPump::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::waitUntil(const std::function<bool()>& done)
{
    if (done())
        return;
    QTimer askAgain;
    askAgain.start(kAskAgainMs);
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    while (!done());
}

} // namespace qni
