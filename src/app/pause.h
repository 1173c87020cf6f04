// SPDX-License-Identifier: MIT
#pragma once

#include "base/int16.h"

#include <chrono>
#include <functional>

namespace qni {

using SleepFunction = std::function<void(std::chrono::milliseconds)>;
using EventPump = std::function<void()>;

// The platform's Sleep: blocks the calling thread.
void sleepFor(std::chrono::milliseconds duration);

// The program's one way of letting the window handle its pending events
// (clicks, repaints) once: the gather, the pause and the runner's reads all
// use it. Events Qt has queued are handled at every call; the system is asked
// for new input at most once a millisecond.
void processPendingEvents();

// Waits about iSecs seconds in passes of a 100 ms sleep followed by one round
// of pending events, so the window stays responsive. The pass count iSecs x 10
// is 16-bit: beyond it StepFailed is thrown before any waiting. Zero or
// negative seconds return at once.
void Pause(Int16 iSecs, const SleepFunction& sleep = sleepFor, const EventPump& pumpEvents = processPendingEvents);

} // namespace qni
