// SPDX-License-Identifier: MIT
#pragma once

#include "platform/management.h"


namespace qni {

struct Platform;

// Binds "winmgmts:" afresh and asks for all instances of a class; throws
// StepFailed when the service cannot be reached or the class is unknown.
ManagementCollection instancesOf(const Platform& platform, TextView className);

// Binds afresh and runs a query; throws StepFailed on any failure.
ManagementCollection execQuery(const Platform& platform, TextView query);

} // namespace qni
