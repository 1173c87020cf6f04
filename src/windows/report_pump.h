// SPDX-License-Identifier: MIT
#pragma once

#include "base/event_pump.h"

namespace qni {

// The thread's messages handled between the steps of a run; a wait sleeps
// until a message comes or a few milliseconds have passed, whichever is first.
class ReportPump final : public EventPump {
public:
    void processEvents() override;
    void waitUntil(const std::function<bool()>& done) override;
};

} // namespace qni
