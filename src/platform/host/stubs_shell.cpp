// Placeholder until the shell service lands.
#include "platform/platform.h"

namespace qni {
std::shared_ptr<Shell> makeHostShell() { return nullptr; }
} // namespace qni
