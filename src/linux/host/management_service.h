// SPDX-License-Identifier: MIT
#pragma once

#include "host/facts/adapters.h"
#include "platform/identity.h"
#include "platform/management.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace qni {

using AdapterSource = std::function<std::vector<Adapter>()>;

// The host's management service with the adapters taken from a given source
// (tests give fixed ones; makeHostManagement gives readHostAdapters).
std::shared_ptr<const ManagementProvider> makeHostManagement(const QString& root, const HostIdentity& identity,
                                                             AdapterSource adapters);

} // namespace qni
