// SPDX-License-Identifier: MIT
#include "platform/described/platform_from_environment.h"

#include "platform/described/described_services.h"
#include "platform/described/machine_description.h"
#include "platform/host/host_platform.h"

namespace qni {

Platform platformFromEnvironment()
{
    Platform p = hostPlatform();
    const QString path = qEnvironmentVariable("QNI_MACHINE");
    if (path.isEmpty())
        return p;
    return applyDescription(loadMachineDescription(path), std::move(p));
}

} // namespace qni
