#pragma once

#include "base/int16.h"

#include <QString>

#include <chrono>
#include <functional>

namespace qni {

// A chunk of command output as the output box stores it: every CR dropped,
// then every LF written as CR LF. Dropping CR first makes CR LF, a lone LF and
// a CR LF pair split across two chunks all come out as one CR LF.
QString normaliseChunk(const QString& sChunk);

using SleepFunction = std::function<void(std::chrono::milliseconds)>;
using EventPump = std::function<void()>;

// The platform's Sleep: blocks the calling thread.
void sleepFor(std::chrono::milliseconds duration);
// Lets the window handle its pending events once.
void processPendingEvents();

// Waits about iSecs seconds in passes of a 100 ms sleep followed by one round
// of pending events, so the window stays responsive. The pass count iSecs x 10
// is 16-bit: beyond it StepFailed is thrown before any waiting. Zero or
// negative seconds return at once.
void Pause(Int16 iSecs, const SleepFunction& sleep = sleepFor, const EventPump& pumpEvents = processPendingEvents);

} // namespace qni
