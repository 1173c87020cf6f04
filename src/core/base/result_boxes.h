// SPDX-License-Identifier: MIT
#pragma once

#include "base/text_slot.h"

#include <functional>

namespace qni {

// The main window's boxes and labels that the gather reads and writes, by
// the names the window gives them. The window is their only store.
struct ResultBoxes {
    TextSlot& txtOS;
    TextSlot& txtOSSerial;
    TextSlot& txtVersion;
    TextSlot& txtMemory;
    TextSlot& txtCPU;
    TextSlot& txtCPUSpeed;
    TextSlot& txtNETIP;
    TextSlot& txtINTIP;
    TextSlot& txtMask;
    TextSlot& txtMac;
    TextSlot& txtOutput;
    TextSlot& txtIP;
    TextSlot& txtTotal;
    TextSlot& lblStatus;   // caption
    TextSlot& lblIPConfig; // caption
};

// Told when a step leaves a box unfilled, with a short reason ("the page
// could not be fetched (timed out)"). May be empty: nobody asked.
using BoxFailed = std::function<void(const TextSlot& box, const Text& reason)>;

} // namespace qni
