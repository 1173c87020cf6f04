// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QtGlobal>

namespace qni {

// Window message numbers the runner posts.
inline constexpr quint32 kWmClose = 0x10;
inline constexpr quint32 kWmEndSession = 0x16;

// user32's walk of the top-level windows and PostMessageA, and keeping one
// of the program's own windows off the task bar.
class WindowService {
public:
    using WindowId = quint64; // 0: no window

    struct TopLevelWindow {
        WindowId window = 0;
        WindowId parent = 0; // the owner (GetParent of a top-level window)
        qint64 processId = 0;

        bool operator==(const TopLevelWindow&) const = default;
    };

    virtual ~WindowService() = default;

    // The top-level windows from the front: GetWindow(GetDesktopWindow(),
    // GW_CHILD), then GW_HWNDNEXT until there is none. Windows whose owning
    // process is not known are left out; without a display the walk is empty.
    virtual QList<TopLevelWindow> topLevelWindows() = 0;

    // PostMessageA with lParam. True when the message was handed on.
    virtual bool postMessage(WindowId window, quint32 message, qint64 wParam, qint64 lParam) = 0;

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
