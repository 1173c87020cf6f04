// SPDX-License-Identifier: MIT
#pragma once

#include "app/gather.h"
#include "base/result_boxes.h"
#include "platform/platform.h"
#include "runner/read_output.h"

#include <functional>

namespace qni {

// Thirteen plain boxes and two captions, with the captions the window starts
// with.
struct PlainBoxes {
    PlainTextSlot txtOS, txtOSSerial, txtVersion, txtMemory, txtCPU, txtCPUSpeed, txtNETIP, txtINTIP, txtMask,
        txtMac, txtOutput, txtIP, txtTotal, lblStatus, lblIPConfig{u"ipconfig /all"};
    ResultBoxes boxes{txtOS,   txtOSSerial, txtVersion, txtMemory, txtCPU,   txtCPUSpeed, txtNETIP, txtINTIP,
                      txtMask, txtMac,      txtOutput,  txtIP,     txtTotal, lblStatus,   lblIPConfig};
};

// The window's boxes and runner wired as the window wires them, with no
// window: what a report runs a gather on where no window is built.
class HeadlessWindow {
public:
    HeadlessWindow(Platform platform, EventPump& events);
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    // One "Gather Info", the pause included; showMessage stands for the
    // message box.
    GatherOutcome gather(const GatherSettings& settings, const std::function<void(const Text&)>& showMessage);
    // Step 11 alone, without the pause.
    void runNetwork(const Text& publicPage, const BoxFailed& failed, bool pause = false);

    Platform platform;
    PlainBoxes b;
    EventPump& events;
    ReadOutput runner{platform};
};

} // namespace qni
