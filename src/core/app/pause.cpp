// SPDX-License-Identifier: MIT
#include "app/pause.h"

#include "base/event_pump.h"

namespace qni {

void Pause(Int16 iSecs, EventPump& events, const SleepFunction& sleep)
{
    const Int16 passes = mul16(iSecs, 10);
    for (int pass = 1; pass <= passes; ++pass) {
        sleep(std::chrono::milliseconds(100));
        events.processEvents();
    }
}

} // namespace qni
