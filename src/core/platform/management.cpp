// SPDX-License-Identifier: MIT
#include "platform/management.h"

#include "base/step_failed.h"
#include "platform/wql.h"

namespace qni {

std::optional<Variant> ManagementObject::find(TextView name) const
{
    for (const auto& [key, value] : properties) {
        if (equalNoCase(key, name))
            return value;
    }
    return std::nullopt;
}

Variant ManagementObject::property(TextView name) const
{
    auto v = find(name);
    if (!v)
        throw StepFailed("Object doesn't support this property or method: " + toUtf8(name));
    return *v;
}

ManagementCollection ManagementService::execQuery(TextView query) const
{
    const WqlQuery q = WqlQuery::parse(query);
    const ManagementCollection all = instancesOf(q.className);
    if (q.whereProperty.empty())
        return all;
    ManagementCollection selected;
    for (const auto& object : all) {
        if (q.matches(object.find(q.whereProperty)))
            selected.push_back(object);
    }
    return selected;
}

} // namespace qni
