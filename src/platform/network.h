// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace qni {

// The sockets control's local address.
class Sockets {
public:
    virtual ~Sockets() = default;
    // Dotted-decimal IPv4 address; throws StepFailed when not available.
    virtual QString localAddress() const = 0;
};

// The Internet transfer control's URL fetch: one blocking fetch of a page as
// text. Throws StepFailed when the fetch fails (no connection, time-out, too
// large, bad certificate, ...).
class Internet {
public:
    virtual ~Internet() = default;
    virtual QString openUrl(const QString& url) = 0;
};

} // namespace qni
