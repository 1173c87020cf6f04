// SPDX-License-Identifier: MIT
// The host's window walk and window states on X11.
#include "host/host_platform.h"
#include "platform/window_service.h"

#include <QByteArray>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <climits>

#include <unistd.h>

namespace qni {
namespace {

// Xlib reports errors to one process-wide handler, whose default ends the
// program. A window that vanishes in the middle of a walk must only fail the
// call concerned, so errors are caught while our requests are in flight.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display_(display)
    {
        XSync(display_, False);
        failed_ = false;
        previous_ = XSetErrorHandler(&ErrorTrap::handle);
    }
    ~ErrorTrap()
    {
        XSync(display_, False); // collect every late error before handing back
        XSetErrorHandler(previous_);
    }
    bool failed()
    {
        XSync(display_, False);
        return failed_;
    }

private:
    static int handle(Display*, XErrorEvent*)
    {
        failed_ = true;
        return 0;
    }

    static inline bool failed_ = false;
    Display* display_;
    XErrorHandler previous_;
};

class X11WindowService final : public WindowService {
public:
    ~X11WindowService() override
    {
        if (display_)
            XCloseDisplay(display_);
    }

    std::vector<TopLevelWindow> topLevelWindows() override
    {
        Display* d = display();
        if (!d)
            return {};
        ErrorTrap trap(d);
        const Window root = DefaultRootWindow(d);
        Window rootReturn = 0, parentReturn = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(d, root, &rootReturn, &parentReturn, &children, &count))
            return {};
        std::vector<TopLevelWindow> windows;
        // XQueryTree lists from the bottom of the stack; the walk starts at the top.
        for (unsigned i = count; i-- > 0;) {
            const Window client = findClient(d, children[i], 3);
            const qint64 pid = client ? owningProcess(d, client) : 0;
            if (pid > 0)
                windows.push_back({client, ownerWindow(d, client, root), pid});
        }
        if (children)
            XFree(children);
        return windows;
    }

    bool postMessage(WindowId window, std::uint32_t message, std::int64_t, std::int64_t) override
    {
        // X has no session-end message: both ask the window to close.
        if (message != kWmClose && message != kWmEndSession)
            return false;
        Display* d = display();
        if (!d || window == 0)
            return false;
        ErrorTrap trap(d);
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = wmProtocols_;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(wmDeleteWindow_);
        event.xclient.data.l[1] = CurrentTime;
        const Status sent = XSendEvent(d, window, False, NoEventMask, &event);
        return sent != 0 && !trap.failed();
    }

    void keepOffTaskBar(WindowId window) override
    {
        Display* d = display();
        if (!d || window == 0)
            return;
        // The trap's closing sync puts the state in place before the
        // program's own connection maps the window; Qt merges the states it
        // sets on mapping with those already there.
        ErrorTrap trap(d);
        const Atom skipTaskBar = XInternAtom(d, "_NET_WM_STATE_SKIP_TASKBAR", False);
        XChangeProperty(d, window, XInternAtom(d, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeAppend,
                        reinterpret_cast<const unsigned char*>(&skipTaskBar), 1);
    }

    void offerMoveAndCloseOnly(WindowId window) override
    {
        Display* d = display();
        if (!d || window == 0)
            return;
        enum : long { kFunctionsGiven = 1, kDecorationsGiven = 2 };
        enum : long { kMove = 4, kClose = 32 };
        enum : long { kBorder = 2, kTitle = 8 };
        const long hints[5] = {kFunctionsGiven | kDecorationsGiven, kMove | kClose, kBorder | kTitle, 0, 0};
        ErrorTrap trap(d);
        const Atom motif = XInternAtom(d, "_MOTIF_WM_HINTS", False);
        XChangeProperty(d, window, motif, motif, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(hints),
                        5);
    }

private:
    // Opened on first use and kept; retried while there is none, so a display
    // that appears later is found.
    Display* display()
    {
        if (!display_) {
            display_ = XOpenDisplay(nullptr);
            if (display_) {
                netWmPid_ = XInternAtom(display_, "_NET_WM_PID", False);
                wmState_ = XInternAtom(display_, "WM_STATE", False);
                wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
                wmDeleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
            }
        }
        return display_;
    }

    // An application's window carries _NET_WM_PID, or WM_STATE once a
    // window manager has taken it on.
    bool isClient(Display* d, Window w) const
    {
        int propertyCount = 0;
        Atom* properties = XListProperties(d, w, &propertyCount);
        bool found = false;
        for (int i = 0; i < propertyCount && !found; ++i)
            found = properties[i] == netWmPid_ || properties[i] == wmState_;
        if (properties)
            XFree(properties);
        return found;
    }

    // Under a reparenting window manager the root's children are frames with
    // the application's window inside. 0 when the tree holds none.
    Window findClient(Display* d, Window w, int depth) const
    {
        if (isClient(d, w))
            return w;
        if (depth == 0)
            return 0;
        Window rootReturn = 0, parentReturn = 0;
        Window* children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (XQueryTree(d, w, &rootReturn, &parentReturn, &children, &count)) {
            for (unsigned i = 0; i < count && !found; ++i)
                found = findClient(d, children[i], depth - 1);
        }
        if (children)
            XFree(children);
        return found;
    }

    // _NET_WM_PID, trusted only for clients of this machine: a remote
    // client's number names some other machine's process.
    qint64 owningProcess(Display* d, Window w) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        qint64 pid = 0;
        if (XGetWindowProperty(d, w, netWmPid_, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after, &data)
                == Success
            && type == XA_CARDINAL && format == 32 && items == 1)
            pid = static_cast<qint64>(*reinterpret_cast<unsigned long*>(data)); // format 32 arrives as longs
        if (data)
            XFree(data);
        if (pid > 0 && !isLocalClient(d, w))
            pid = 0;
        return pid;
    }

    static bool isLocalClient(Display* d, Window w)
    {
        XTextProperty machine{};
        if (!XGetWMClientMachine(d, w, &machine) || !machine.value)
            return true; // not stated: _NET_WM_PID is all there is
        const QByteArray client(reinterpret_cast<const char*>(machine.value), static_cast<qsizetype>(machine.nitems));
        XFree(machine.value);
        char host[HOST_NAME_MAX + 1] = {};
        if (::gethostname(host, sizeof host - 1) != 0)
            return true;
        return client == QByteArray(host);
    }

    // WM_TRANSIENT_FOR names the window's owner; "transient for the root"
    // marks a group dialog, which has no single owner.
    static Window ownerWindow(Display* d, Window w, Window root)
    {
        Window owner = None;
        if (!XGetTransientForHint(d, w, &owner) || owner == root)
            return 0;
        return owner;
    }

    Display* display_ = nullptr;
    Atom netWmPid_ = None;
    Atom wmState_ = None;
    Atom wmProtocols_ = None;
    Atom wmDeleteWindow_ = None;
};

} // namespace

std::shared_ptr<WindowService> makeHostWindowService()
{
    return std::make_shared<X11WindowService>();
}

} // namespace qni
