// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

namespace qni {

// GetVersionExA's answer.
struct VersionRecord {
    int major = 0;
    int minor = 0;
    int platformId = 0;
};

// A Linux host's own system, which the OS frame shows on that host. An empty
// installation id or kernel release could not be read.
struct HostIdentity {
    Text name;              // os-release's PRETTY_NAME, else NAME and VERSION, else the kernel's name
    Text installationId; // /etc/machine-id, 32 hexadecimal digits
    Text kernelRelease;   // as `uname -r` prints it
};

} // namespace qni
