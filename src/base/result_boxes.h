#pragma once

#include "base/text_slot.h"

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

} // namespace qni
