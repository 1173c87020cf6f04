// SPDX-License-Identifier: MIT
#pragma once

#include "base/event_pump.h"

#include <windows.h>

namespace qni {

// The window's event pump on the thread's message queue. A WM_QUIT met while
// pumping is posted again, so that the message loop still ends on it.
class WinEventPump final : public EventPump {
public:
    void processEvents() override;
    void waitUntil(const std::function<bool()>& done) override;

private:
    // One round; true when it met WM_QUIT.
    bool round();
};

// Windows whose keyboard interface is the dialog manager's (Tab, Enter,
// Escape): the main window and the About box.
void addDialogWindow(HWND window);
void removeDialogWindow(HWND window);

// A message through the dialog manager of the window it belongs to, else
// translated and dispatched.
void dispatchMessage(MSG& message);

// The program's message loop, until WM_QUIT; its exit code.
int runMessageLoop();

} // namespace qni
