#include "platform/platform.h"

#include "platform/described/machine_description.h"


namespace qni {

Platform hostPlatform(const QString& root)
{
    const Identity identity = Identity::host(root);
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

Platform platformFromEnvironment()
{
    Platform p = hostPlatform();
    const QString path = qEnvironmentVariable("QNI_MACHINE");
    if (!path.isEmpty())
        p = applyDescription(loadMachineDescription(path), std::move(p));
    return p;
}

} // namespace qni
