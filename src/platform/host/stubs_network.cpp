// Placeholder until the sockets and Internet services land.
#include "platform/platform.h"

namespace qni {
std::shared_ptr<Sockets> makeHostSockets(const QString&) { return nullptr; }
std::shared_ptr<Internet> makeHostInternet() { return nullptr; }
} // namespace qni
