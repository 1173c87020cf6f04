// SPDX-License-Identifier: MIT
#include "platform/host/host_platform.h"

#include "platform/host/files.h"

namespace qni {

Identity hostIdentity(const QString& root)
{
    constexpr qint64 kIdBytes = 256;
    QByteArray machineId;
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id", "/etc/hostname"}) {
        if (const auto text = readHostFile(underRoot(root, QLatin1String(path)), kIdBytes)) {
            machineId = text->trimmed();
            if (!machineId.isEmpty())
                break;
        }
    }
    return Identity::windowsXp(machineId);
}

Platform hostPlatform(const QString& root)
{
    const Identity identity = hostIdentity(root);
    Platform p;
    p.management = makeHostManagement(root, identity);
    p.registry = makeHostRegistry(root, identity);
    p.processes = makeHostProcessService();
    p.windows = makeHostWindowService();
    p.versionRecord = identity.versionRecord;
    p.sockets = makeHostSockets(root);
    p.internet = makeHostInternet();
    p.shell = makeHostShell();
    return p;
}

} // namespace qni
