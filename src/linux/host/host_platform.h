// SPDX-License-Identifier: MIT
#pragma once

#include "platform/identity.h"
#include "platform/platform.h"

#include <QString>

#include <memory>

namespace qni {

// The host's platform. root is the file-system root the host sources read
// (tests point it at recorded samples).
Platform hostPlatform(const QString& root = QStringLiteral("/"));

// Where a bundled program (the command interpreter, ipconfig) lives: beside
// the executable, else in the installed libexec folder.
QString bundledProgram(const QString& name);

// Factories of the host services, one per service file.
std::shared_ptr<const ManagementProvider> makeHostManagement(const QString& root, const HostIdentity& identity);
std::shared_ptr<const RegistryProvider> makeHostRegistry(const QString& root);
std::shared_ptr<ProcessService> makeHostProcessService();
// Decodes command output in the system's code page (the host service's own).
std::unique_ptr<OutputDecoder> makeSystemOutputDecoder();
std::shared_ptr<WindowService> makeHostWindowService();
std::shared_ptr<Sockets> makeHostSockets(const QString& root);
std::shared_ptr<Internet> makeHostInternet();
std::shared_ptr<Shell> makeHostShell();

} // namespace qni
