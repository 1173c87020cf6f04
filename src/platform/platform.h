#pragma once

#include "platform/identity.h"

#include <QString>

#include <memory>
#include <stdexcept>

namespace qni {

class ManagementProvider;
class RegistryProvider;
class ProcessService;
class WindowService;
class Sockets;
class Internet;
class Shell;

// The services the program's logic uses, each behind its interface. The
// host's implementations read the machine's real facts; a machine
// description (QNI_MACHINE) replaces any of them.
struct Platform {
    std::shared_ptr<const ManagementProvider> management;
    std::shared_ptr<const RegistryProvider> registry;
    std::shared_ptr<ProcessService> processes;
    std::shared_ptr<WindowService> windows;
    VersionRecord versionRecord;
    std::shared_ptr<Sockets> sockets;
    std::shared_ptr<Internet> internet;
    std::shared_ptr<Shell> shell;
};

// The host's platform. root is the file-system root the host sources read
// (tests point it at recorded samples).
Platform hostPlatform(const QString& root = QStringLiteral("/"));

// A machine description that cannot be used: the message names the file and
// the fault.
class DescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The host's platform, or the machine that QNI_MACHINE describes on top of
// it. Throws DescriptionError for a bad description.
Platform platformFromEnvironment();

// Where a bundled program (the command interpreter, ipconfig) lives: beside
// the executable, else in the installed libexec folder.
QString bundledProgram(const QString& name);

// Factories of the host services, one per service file.
std::shared_ptr<const ManagementProvider> makeHostManagement(const QString& root, const Identity& identity);
std::shared_ptr<const RegistryProvider> makeHostRegistry(const QString& root, const Identity& identity);
std::shared_ptr<ProcessService> makeHostProcessService();
std::shared_ptr<WindowService> makeHostWindowService();
std::shared_ptr<Sockets> makeHostSockets(const QString& root);
std::shared_ptr<Internet> makeHostInternet();
std::shared_ptr<Shell> makeHostShell();

} // namespace qni
