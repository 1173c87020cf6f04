// Placeholder until the process and window services land.
#include "platform/platform.h"

namespace qni {
std::shared_ptr<ProcessService> makeHostProcessService() { return nullptr; }
std::shared_ptr<WindowService> makeHostWindowService() { return nullptr; }
} // namespace qni
