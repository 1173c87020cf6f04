// SPDX-License-Identifier: MIT
#pragma once

#include "base/event_pump.h"

namespace qni {

// The event pump of a Qt program: rounds of the application's event loop.
class QtEventPump final : public EventPump {
public:
    void processEvents() override;
    void waitUntil(const std::function<bool()>& done) override;
};

} // namespace qni
