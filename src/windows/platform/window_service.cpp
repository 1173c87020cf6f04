// SPDX-License-Identifier: MIT
// user32's walk of the top-level windows, PostMessageA, and the styles of
// the program's own windows.
#include "windows_services.h"

#include "platform/window_service.h"

#include <windows.h>

namespace qni {

namespace {

HWND windowOf(WindowService::WindowId id) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(id)); }
WindowService::WindowId idOf(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

// A window system holds at most this many windows, so a longer walk has met
// a z-order that changed under it and would go round for ever.
constexpr int kMaxWindows = 65536;

// The frame is drawn anew with the styles changed.
void restyle(HWND window)
{
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

class WindowsWindowService final : public WindowService {
public:
    std::vector<TopLevelWindow> topLevelWindows() override
    {
        std::vector<TopLevelWindow> windows;
        HWND window = GetWindow(GetDesktopWindow(), GW_CHILD);
        for (int i = 0; window && i < kMaxWindows; ++i, window = GetWindow(window, GW_HWNDNEXT)) {
            DWORD processId = 0;
            // A window that has gone meanwhile has no thread.
            if (GetWindowThreadProcessId(window, &processId) == 0)
                continue;
            windows.push_back({idOf(window), idOf(GetParent(window)), std::int64_t(processId)});
        }
        return windows;
    }

    // Only to a window: no window would post to this thread's own queue, and
    // HWND_BROADCAST to every top-level window.
    bool postMessage(WindowId window, std::uint32_t message, std::int64_t wParam, std::int64_t lParam) override
    {
        const HWND target = windowOf(window);
        return window && IsWindow(target) && PostMessageA(target, message, WPARAM(wParam), LPARAM(lParam)) != 0;
    }

    // The task bar leaves out a tool window that does not ask for a button.
    void keepOffTaskBar(WindowId id) override
    {
        const HWND window = windowOf(id);
        if (!id || !IsWindow(window))
            return;
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
        SetWindowLongPtrW(window, GWL_EXSTYLE, (style | WS_EX_TOOLWINDOW) & ~LONG_PTR(WS_EX_APPWINDOW));
        restyle(window);
    }

    // A fixed tool window: caption and close box, no sizing border, no
    // minimise or maximise box, and a window menu that offers moving and
    // closing only.
    void offerMoveAndCloseOnly(WindowId id) override
    {
        const HWND window = windowOf(id);
        if (!id || !IsWindow(window))
            return;
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        SetWindowLongPtrW(window, GWL_STYLE,
                          (style | WS_CAPTION | WS_SYSMENU) & ~LONG_PTR(WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
        if (const HMENU menu = GetSystemMenu(window, FALSE)) {
            for (const UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
                DeleteMenu(menu, command, MF_BYCOMMAND);
        }
        restyle(window);
    }
};

} // namespace

std::shared_ptr<WindowService> makeWindowsWindowService() { return std::make_shared<WindowsWindowService>(); }

} // namespace qni
