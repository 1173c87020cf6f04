// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <utility>

namespace qni {

// Continue-on-error mode: each statement of a procedure is one step; a step
// that throws is abandoned where it failed (whatever it was about to assign
// keeps its earlier value) and the next step runs.
//
//   Resume r;
//   r([&] { box.set(value.toText()); });
//   r([&] { ... });
class Resume {
public:
    template <class Step>
    Resume& operator()(Step&& step) noexcept
    {
        try {
            std::forward<Step>(step)();
        } catch (const std::exception&) {
            ++failures_;
        }
        return *this;
    }

    // The same, and a failure is also handed to onFailure(const
    // std::exception&), which says what the step left undone.
    template <class Step, class OnFailure>
    Resume& operator()(Step&& step, OnFailure&& onFailure) noexcept
    {
        try {
            std::forward<Step>(step)();
        } catch (const std::exception& e) {
            ++failures_;
            try {
                std::forward<OnFailure>(onFailure)(e);
            } catch (...) {
                // Telling about a failure must not stop the run either.
            }
        }
        return *this;
    }

    int failures() const noexcept { return failures_; }

private:
    int failures_ = 0;
};

} // namespace qni
