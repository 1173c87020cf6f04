// SPDX-License-Identifier: MIT
#pragma once

#include "base/int16.h"
#include "platform/platform.h"

#include <chrono>
#include <functional>

namespace qni {

class EventPump;

// Waits about iSecs seconds in passes of a 100 ms sleep followed by one round
// of pending events, so the window stays responsive. sleep is the
// platform's. The pass count iSecs x 10
// is 16-bit: beyond it StepFailed is thrown before any waiting. Zero or
// negative seconds return at once.
void Pause(Int16 iSecs, EventPump& events, const SleepFunction& sleep);

} // namespace qni
