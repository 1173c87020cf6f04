// SPDX-License-Identifier: MIT
#pragma once

#include "base/int16.h"

#include <chrono>
#include <functional>

namespace qni {

class EventPump;

using SleepFunction = std::function<void(std::chrono::milliseconds)>;

// The platform's Sleep: blocks the calling thread.
void sleepFor(std::chrono::milliseconds duration);

// Waits about iSecs seconds in passes of a 100 ms sleep followed by one round
// of pending events, so the window stays responsive. The pass count iSecs x 10
// is 16-bit: beyond it StepFailed is thrown before any waiting. Zero or
// negative seconds return at once.
void Pause(Int16 iSecs, EventPump& events, const SleepFunction& sleep = sleepFor);

} // namespace qni
