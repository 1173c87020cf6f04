// SPDX-License-Identifier: MIT
#pragma once

#include "app/network_constants.h"
#include "base/int16.h"
#include "base/result_boxes.h"


#include <chrono>
#include <functional>

namespace qni {

struct Platform;
class EventPump;
class ReadOutput;

// What the network facts need from the window that hosts them.
struct NetworkHost {
    ResultBoxes& boxes;
    const Platform& platform;
    ReadOutput& runner;                 // ReadOutput1; its events fill txtOutput
    EventPump& events;                  // the page fetch waits here
    std::function<void(Int16)> pause;   // Pause
    Text publicPage = kPublicAddressPage; // empty: no page is fetched
    BoxFailed failed;                   // hears of each box left unfilled
};

// How long the gather's command may run before it is cancelled.
inline constexpr std::chrono::milliseconds kCommandTimeLimit{30000};

inline const Text kAdapterMark = u"Local Area Connection";
inline const Text kAdapterEndMark = u"IP";
inline const Text kPhysicalAddressMark = u"Physical Address. . . . . . . . . : ";
inline const Text kDhcpMark = u"        Dhcp";

// The runner as the window wires it: a round of the window's events before
// each read, the time limit, and its output collected into txtOutput.
void wireRunner(ReadOutput& runner, EventPump& events, TextSlot& txtOutput);

// Fills the IP Information frame: the MAC address cut out of "ipconfig /all",
// the local address, the subnet masks of the IP-enabled adapter that holds
// the local address (else of the last one), and the public address.
// Continue-on-error throughout.
void runNetworkSection(NetworkHost& host);

} // namespace qni
