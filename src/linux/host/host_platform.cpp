// SPDX-License-Identifier: MIT
#include "host/host_platform.h"

#include "host/facts/system.h"

#include <QLocale>

#include <thread>

namespace qni {

Platform hostPlatform(const QString& root)
{
    const HostIdentity identity = readHostIdentity(root);
    Platform p;
    p.management = makeHostManagement(root, identity);
    p.registry = makeHostRegistry(root);
    p.processes = makeHostProcessService();
    p.windows = makeHostWindowService();
    // The NT family, so that closing a process takes the NT branch.
    p.versionRecord = {5, 1, 2};
    p.sockets = makeHostSockets(root);
    p.internet = makeHostInternet();
    p.shell = makeHostShell();
    p.hostIdentity = identity;
    p.sleep = [](std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); };
    // The user's separator; a separator of more than one character (none
    // is known) would not fit the window's number format.
    if (const QString point = QLocale().decimalPoint(); point.size() == 1)
        p.numberFormat.decimalSeparator = point.front().unicode();
    return p;
}

} // namespace qni
