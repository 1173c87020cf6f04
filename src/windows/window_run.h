// SPDX-License-Identifier: MIT
#pragma once

#include "app/gather.h"
#include "platform/platform.h"

namespace qni {

// Shows the main window and runs until it is closed; the program's exit
// status.
int runWindow(Platform platform, const GatherSettings& settings);

} // namespace qni
