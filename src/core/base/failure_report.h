// SPDX-License-Identifier: MIT
#pragma once

#include "base/result_boxes.h"
#include "base/step_failed.h"

namespace qni {

// Passes on which box a step could not fill; quiet when nobody listens.
class FailureReport {
public:
    explicit FailureReport(const BoxFailed& failed) : failed_(failed) {}

    void operator()(const TextSlot& box, const Text& reason) const
    {
        if (failed_)
            failed_(box, reason);
    }

    // A failure handler for Resume: what was not done, in the failure's own
    // words too.
    auto on(const TextSlot& box, const Text& what) const
    {
        return [this, &box, what](const std::exception& e) { (*this)(box, because(what, e)); };
    }

private:
    const BoxFailed& failed_;
};

} // namespace qni
