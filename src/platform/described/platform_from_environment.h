// SPDX-License-Identifier: MIT
#pragma once

#include "platform/platform.h"

namespace qni {

// The host's platform, or the machine that QNI_MACHINE describes on top of
// it; the described command outputs are handed on to every command the
// program starts. Throws DescriptionError for a bad description.
Platform platformFromEnvironment();

} // namespace qni
