// SPDX-License-Identifier: MIT
#include "platform/management.h"

#include "base/step_failed.h"
#include "platform/wql.h"

namespace qni {

std::optional<Variant> ManagementObject::find(const QString& name) const
{
    for (const auto& [key, value] : properties) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

Variant ManagementObject::property(const QString& name) const
{
    auto v = find(name);
    if (!v)
        throw StepFailed("Object doesn't support this property or method: " + name.toStdString());
    return *v;
}

ManagementCollection ManagementService::execQuery(const QString& query) const
{
    const WqlQuery q = WqlQuery::parse(query);
    const ManagementCollection all = instancesOf(q.className);
    if (q.whereProperty.isEmpty())
        return all;
    ManagementCollection selected;
    for (const auto& object : all) {
        if (q.matches(object.find(q.whereProperty)))
            selected.append(object);
    }
    return selected;
}

} // namespace qni
