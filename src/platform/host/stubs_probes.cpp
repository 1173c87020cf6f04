// Placeholder until the host management service and registry view land.
#include "platform/platform.h"

namespace qni {
std::shared_ptr<const ManagementProvider> makeHostManagement(const QString&, const Identity&) { return nullptr; }
std::shared_ptr<const RegistryProvider> makeHostRegistry(const QString&, const Identity&) { return nullptr; }
} // namespace qni
