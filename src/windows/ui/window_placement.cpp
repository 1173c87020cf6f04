// SPDX-License-Identifier: MIT
#include "window_placement.h"

namespace qni {

void centreOnScreen(HWND window)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT work{};
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        work = monitor.rcWork;
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void setClientSize(HWND window, int width, int height)
{
    const DWORD style = DWORD(GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, style, GetMenu(window) != nullptr, exStyle);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps onto a second line takes more than the estimate;
    // whatever the client area lacks, the frame grows by.
    RECT client{};
    GetClientRect(window, &client);
    const int moreWidth = width - (client.right - client.left);
    const int moreHeight = height - (client.bottom - client.top);
    if (moreWidth || moreHeight) {
        GetWindowRect(window, &frame);
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + moreWidth,
                     frame.bottom - frame.top + moreHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

} // namespace qni
