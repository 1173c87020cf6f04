// SPDX-License-Identifier: MIT
#include "host/platform_from_environment.h"

#include "described/described_services.h"
#include "described/machine_description.h"
#include "host/host_platform.h"

#include <cstdlib>

namespace qni {

Platform platformFromEnvironment()
{
    Platform p = hostPlatform();
    const char* const path = std::getenv("QNI_MACHINE");
    if (!path || !*path)
        return p;
    return applyDescription(loadMachineDescription(path), std::move(p));
}

} // namespace qni
