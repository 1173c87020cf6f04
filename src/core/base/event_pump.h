// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace qni {

// The program's one way of letting its windows handle their events while it
// works. The window owns it and hands it to whatever waits: the gather
// between its steps, the pause, the runner before and during its reads, the
// page fetch. Whatever the user does meanwhile is handled as usual: typing,
// menus, the About box, the close box. Guarding against a second run is the
// window's business, not the pump's.
class EventPump {
public:
    virtual ~EventPump() = default;

    // One whole round of the event loop: every event already pending is
    // handled, then it returns.
    virtual void processEvents() = 0;

    // Runs the event loop, handling events as they come, until done() holds.
    // done() is asked after every round, and a round ends at least every few
    // milliseconds even when nothing happens, since what the caller waits
    // for (a pipe, a deadline) need not be an event of the loop.
    virtual void waitUntil(const std::function<bool()>& done) = 0;
};

} // namespace qni
