// SPDX-License-Identifier: MIT
#pragma once

#include "platform/platform.h"

namespace qni {

// The host's platform, or the machine that QNI_MACHINE describes on top of
// it. The bundled interpreter reads the described commands' outputs from the
// same file, named in the environment the commands inherit. Throws
// DescriptionError for a bad description.
Platform platformFromEnvironment();

} // namespace qni
