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

    int failures() const noexcept { return failures_; }

private:
    int failures_ = 0;
};

} // namespace qni
