// SPDX-License-Identifier: MIT
#pragma once

#include "base/variant.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace qni {

// One instance of a management class: its properties in the order the
// service lists them. Names match without regard to case.
struct ManagementObject {
    std::vector<std::pair<Text, Variant>> properties;

    // The property's value, or nullopt when the instance has no such property.
    std::optional<Variant> find(TextView name) const;
    // The property's value; throws StepFailed when it does not exist.
    Variant property(TextView name) const;
};

using ManagementCollection = std::vector<ManagementObject>;

// The management instrumentation service of one machine, as bound through
// "winmgmts:". Every operation throws StepFailed on failure.
class ManagementService {
public:
    virtual ~ManagementService() = default;

    // All instances of a class; throws when the class does not exist.
    virtual ManagementCollection instancesOf(TextView className) const = 0;

    // The instances that a query selects. Understands
    //   SELECT * FROM <class> [WHERE <property> = <literal>]
    // (keywords in any case; the literal True, False, a number or a quoted
    // string) and throws on anything else.
    virtual ManagementCollection execQuery(TextView query) const;
};

// Binds the moniker "winmgmts:": a new service object on every call, as each
// caller binds afresh. Throws StepFailed when the service cannot be reached.
class ManagementProvider {
public:
    virtual ~ManagementProvider() = default;
    virtual std::unique_ptr<ManagementService> bind() const = 0;
};

} // namespace qni
