// Opens top-level X11 windows that carry this process's id, prints "ready",
// and exits 0 once each window that has no owner was asked to close. Usage:
// qni-test-window [windows] [--owned] (--owned adds a window owned by the
// first). Gives up with status 3 after 20 seconds.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <vector>

#include <poll.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 1;
    const bool owned = argc > 2 && std::strcmp(argv[2], "--owned") == 0;
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return 2;
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    const long pid = getpid();

    auto open = [&](Window owner) {
        const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 40, 30, 0, 0, 0);
        XChangeProperty(d, w, pidAtom, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
        XSetWMProtocols(d, w, &deleteWindow, 1);
        if (owner)
            XSetTransientForHint(d, w, owner);
        XMapWindow(d, w);
        return w;
    };
    std::set<Window> waiting;
    for (int i = 0; i < count; ++i)
        waiting.insert(open(0));
    const Window ownedWindow = owned && !waiting.empty() ? open(*waiting.begin()) : 0;
    XSync(d, False);
    std::printf("ready\n");
    std::fflush(stdout);

    const time_t deadline = std::time(nullptr) + 20;
    while (!waiting.empty() && std::time(nullptr) < deadline) {
        if (!XPending(d)) {
            pollfd p{ConnectionNumber(d), POLLIN, 0};
            poll(&p, 1, 200);
            continue;
        }
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == ClientMessage && e.xclient.message_type == protocols
            && static_cast<Atom>(e.xclient.data.l[0]) == deleteWindow) {
            if (e.xclient.window == ownedWindow)
                return 4; // an owned window is not the walk's business
            waiting.erase(e.xclient.window);
        }
    }
    XCloseDisplay(d);
    return waiting.empty() ? 0 : 3;
}
