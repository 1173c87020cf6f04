// SPDX-License-Identifier: MIT
#include "platform/host/host_platform.h"

#include "platform/host/facts/system.h"

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
    return p;
}

} // namespace qni
