// SPDX-License-Identifier: MIT
#pragma once

#include "host/qt_text.h"
#include "support/doubles.h"
#include "support/qt_printers.h"

namespace qni::test {

// The Linux host's process and window services under a machine description;
// every member the description leaves out cannot be reached, never the test
// host's facts.
Platform onHost(const Json& description);

} // namespace qni::test
