// SPDX-License-Identifier: MIT
#include "win_event_pump.h"

#include <algorithm>
#include <vector>

namespace qni {

namespace {

// How soon a wait asks again when nothing wakes it: far below what anyone
// notices, and cheap when idle.
constexpr DWORD kAskAgainMs = 5;

std::vector<HWND>& dialogWindows()
{
    static std::vector<HWND> windows;
    return windows;
}

} // namespace

void addDialogWindow(HWND window)
{
    auto& windows = dialogWindows();
    if (std::find(windows.begin(), windows.end(), window) == windows.end())
        windows.push_back(window);
}

void removeDialogWindow(HWND window) { std::erase(dialogWindows(), window); }

void dispatchMessage(MSG& message)
{
    // A copy: handling the message may open or close a window.
    const std::vector<HWND> windows = dialogWindows();
    for (HWND window : windows) {
        if (message.hwnd == window || IsChild(window, message.hwnd)) {
            if (IsDialogMessageW(window, &message))
                return;
            break;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool WinEventPump::round()
{
    // Messages that arrive while the round runs wait for the next one, so
    // that a window that keeps asking (a paint that never validates, a
    // moving mouse) cannot hold the round up for ever.
    const DWORD start = GetTickCount();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(int(message.wParam));
            return true;
        }
        dispatchMessage(message);
        if (LONG(message.time - start) > 0)
            break;
    }
    return false;
}

void WinEventPump::processEvents() { round(); }

void WinEventPump::waitUntil(const std::function<bool()>& done)
{
    while (!done()) {
        // A pending WM_QUIT wakes every wait at once: sleep instead.
        if (round())
            Sleep(kAskAgainMs);
        else if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, kAskAgainMs, QS_ALLINPUT);
    }
}

int runMessageLoop()
{
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return int(message.wParam);
        if (got == -1)
            return 1;
        dispatchMessage(message);
    }
}

} // namespace qni
