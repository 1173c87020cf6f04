// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace qni {

// A statement of the program that cannot complete (a conversion that has no
// result, an overflow, a missing property). Callers in continue-on-error mode
// abandon the statement and go on; see resume.h. The reason is UTF-8.
class StepFailed : public std::runtime_error {
public:
    explicit StepFailed(const std::string& what) : std::runtime_error(what) {}
    explicit StepFailed(TextView what) : std::runtime_error(toUtf8(what)) {}
};

// "<what> (<why>)", why made to read as part of that sentence: no closing
// full stop, and a lower-case start unless its first word is a name
// ("HTTP", "CreatePipe").
Text because(TextView what, TextView why);
Text because(TextView what, const std::exception& failure);

} // namespace qni
