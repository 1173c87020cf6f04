// SPDX-License-Identifier: MIT
#pragma once

#include "platform/platform.h"

namespace qni {

struct MachineDescription;

// The platform with every given member of the description in place of the
// base's service; absent members leave the base's. The recorded command
// outputs are not a service of this process: they reach the bundled command
// interpreter through the environment (platformFromEnvironment).
Platform applyDescription(const MachineDescription& description, Platform base);

} // namespace qni
