// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"

namespace qni {

// The shell's "Open" operation on an address (the desktop's browser for a
// web address). The result is not reported.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(const Text& address) = 0;
};

} // namespace qni
