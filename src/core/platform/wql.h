// SPDX-License-Identifier: MIT
#pragma once

#include "base/variant.h"

#include <optional>

namespace qni {

// The query subset that ExecQuery understands:
//   SELECT * FROM <class> [WHERE <property> = <literal>]
struct WqlQuery {
    Text className;
    Text whereProperty;           // empty when there is no WHERE clause
    std::optional<Variant> literal; // set exactly when whereProperty is

    // Throws StepFailed for any text outside the subset.
    static WqlQuery parse(TextView text);

    // Whether an instance's value satisfies the WHERE clause (true when there
    // is none). Text compares without regard to case, as the service does.
    bool matches(const std::optional<Variant>& value) const;
};

} // namespace qni
