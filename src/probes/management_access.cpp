#include "probes/management_access.h"

#include "base/step_failed.h"
#include "platform/platform.h"

namespace qni {

namespace {

std::unique_ptr<ManagementService> bind(const Platform& platform)
{
    if (!platform.management)
        throw StepFailed("The remote server machine does not exist or is unavailable");
    auto service = platform.management->bind();
    if (!service)
        throw StepFailed("The remote server machine does not exist or is unavailable");
    return service;
}

} // namespace

ManagementCollection instancesOf(const Platform& platform, const QString& className)
{
    return bind(platform)->instancesOf(className);
}

ManagementCollection execQuery(const Platform& platform, const QString& query)
{
    return bind(platform)->execQuery(query);
}

} // namespace qni
