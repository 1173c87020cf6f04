// SPDX-License-Identifier: MIT
#pragma once

#include "base/text.h"


namespace qni {

struct Platform;

// The data of one registry value as text, read through a new shell object;
// the empty text whenever it cannot be had (no shell object, no such value,
// data without a text form). Never fails.
Text ReadRegValue(const Platform& platform, TextView path);

} // namespace qni
