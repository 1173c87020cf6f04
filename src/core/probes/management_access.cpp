// SPDX-License-Identifier: MIT
#include "probes/management_access.h"

#include "platform/platform.h"

namespace qni {

namespace {

std::unique_ptr<ManagementService> bind(const Platform& platform)
{
    return platform.management->bind();
}

} // namespace

ManagementCollection instancesOf(const Platform& platform, TextView className)
{
    return bind(platform)->instancesOf(className);
}

ManagementCollection execQuery(const Platform& platform, TextView query)
{
    return bind(platform)->execQuery(query);
}

} // namespace qni
