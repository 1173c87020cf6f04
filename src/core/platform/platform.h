// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"
#include "platform/identity.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace qni {

class ManagementProvider;
class RegistryProvider;
class OutputDecoder;
class ProcessService;
class WindowService;
class Sockets;
class Internet;
class Shell;

// The services the program's logic uses, each behind its interface. The
// host's implementations (platform/host) read the machine's real facts; a
// machine description (platform/described) replaces any of them. The program
// always gets every service.
// The system's Sleep: blocks the calling thread.
using SleepFunction = std::function<void(std::chrono::milliseconds)>;

struct Platform {
    std::shared_ptr<const ManagementProvider> management;
    std::shared_ptr<const RegistryProvider> registry;
    std::shared_ptr<ProcessService> processes;
    std::shared_ptr<WindowService> windows;
    VersionRecord versionRecord;
    NumberFormat numberFormat;
    SleepFunction sleep;
    std::shared_ptr<Sockets> sockets;
    std::shared_ptr<Internet> internet;
    std::shared_ptr<Shell> shell;
    // Only on the Linux host's own platform, where it takes the place of the
    // Windows version; a description of the registry or the management
    // service describes a Windows, and removes it.
    std::optional<HostIdentity> hostIdentity;
};

} // namespace qni
