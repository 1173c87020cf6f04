#pragma once

#include <stdexcept>
#include <string>

namespace qni {

// A statement of the program that cannot complete (a conversion that has no
// result, an overflow, a missing property). Callers in continue-on-error mode
// abandon the statement and go on; see resume.h.
class StepFailed : public std::runtime_error {
public:
    explicit StepFailed(const std::string& what) : std::runtime_error(what) {}
};

} // namespace qni
