// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

namespace qni {

// Window message numbers the runner posts.
inline constexpr std::uint32_t kWmClose = 0x10;
inline constexpr std::uint32_t kWmEndSession = 0x16;

// user32's walk of the top-level windows and PostMessageA, and keeping one
// of the program's own windows off the task bar.
class WindowService {
public:
    using WindowId = std::uint64_t; // 0: no window

    struct TopLevelWindow {
        WindowId window = 0;
        WindowId parent = 0; // the owner (GetParent of a top-level window)
        std::int64_t processId = 0;

        bool operator==(const TopLevelWindow&) const = default;
    };

    virtual ~WindowService() = default;

    // The top-level windows from the front: GetWindow(GetDesktopWindow(),
    // GW_CHILD), then GW_HWNDNEXT until there is none. Windows whose owning
    // process is not known are left out; without a display the walk is empty.
    virtual std::vector<TopLevelWindow> topLevelWindows() = 0;

    // PostMessageA with lParam. True when the message was handed on.
    virtual bool postMessage(WindowId window, std::uint32_t message, std::int64_t wParam, std::int64_t lParam) = 0;

    // A form's ShowInTaskbar = False: the task bar leaves the window out.
    // window is the native id of one of the program's own windows, before it
    // is first shown.
    virtual void keepOffTaskBar(WindowId window) = 0;

    // A fixed tool window's border: the window manager offers moving and
    // closing only (no window menu, no resize handles), whatever the toolkit
    // asked for.
    virtual void offerMoveAndCloseOnly(WindowId window) = 0;
};

} // namespace qni
