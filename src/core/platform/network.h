// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

namespace qni {

class EventPump;

// The sockets control's local address.
class Sockets {
public:
    virtual ~Sockets() = default;
    // Dotted-decimal IPv4 address; throws StepFailed when not available.
    virtual Text localAddress() const = 0;
};

// The Internet transfer control's URL fetch: a page as text, returned when
// the fetch has ended. The wait is spent in `events`, so the window stays
// usable. Throws StepFailed when the fetch fails (no connection, time-out,
// too large, bad certificate, ...).
class Internet {
public:
    virtual ~Internet() = default;
    virtual Text openUrl(const Text& url, EventPump& events) = 0;
};

} // namespace qni
