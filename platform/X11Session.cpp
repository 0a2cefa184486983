#include "platform/X11Session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <vector>

namespace Vellmar::Platform {

namespace {

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

using Handler = int (*)(Display*, XErrorEvent*);

// One 32-bit-format property as a list of longs (Xlib's representation of format 32).
std::vector<unsigned long> LongProperty(Display* display, Window window, const char* name,
                                        Atom type) {
    const Atom atom = XInternAtom(display, name, True);
    std::vector<unsigned long> values;
    if (atom == None)
        return values;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, atom, 0, 65536, False, type, &actualType, &format,
                           &count, &remaining, &data) == Success &&
        data && format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        values.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return values;
}

std::vector<Window> TopLevelWindows(Display* display) {
    const Window root = DefaultRootWindow(display);
    std::vector<Window> managed = LongProperty(display, root, "_NET_CLIENT_LIST", XA_WINDOW);
    if (!managed.empty())
        return managed;
    // Without an EWMH window manager: the root's children and their children (frames).
    std::vector<Window> result;
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) && children) {
        for (unsigned int i = 0; i < count; ++i) {
            result.push_back(children[i]);
            Window* inner = nullptr;
            unsigned int innerCount = 0;
            if (XQueryTree(display, children[i], &rootReturn, &parent, &inner, &innerCount) &&
                inner) {
                result.insert(result.end(), inner, inner + innerCount);
                XFree(inner);
            }
        }
        XFree(children);
    }
    return result;
}

bool IsMinimised(Display* display, Window window) {
    const Atom wmState = XInternAtom(display, "WM_STATE", True);
    if (wmState != None) {
        const auto state = LongProperty(display, window, "WM_STATE", wmState);
        if (!state.empty() && state[0] == IconicState)
            return true;
    }
    const Atom hidden = XInternAtom(display, "_NET_WM_STATE_HIDDEN", True);
    for (unsigned long atom : LongProperty(display, window, "_NET_WM_STATE", XA_ATOM))
        if (hidden != None && atom == hidden)
            return true;
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsUnmapped;
}

} // namespace

X11Session::X11Session(const char* displayName) {
    if (!displayName && !std::getenv("DISPLAY"))
        return;
    display = XOpenDisplay(displayName);
    if (display)
        previousHandler =
            reinterpret_cast<int (*)(_XDisplay*, void*)>(XSetErrorHandler(&IgnoreErrors));
}

X11Session::~X11Session() {
    if (!display)
        return;
    XSync(display, False); // errors of our last requests arrive while ours is installed
    XSetErrorHandler(reinterpret_cast<Handler>(previousHandler));
    XCloseDisplay(display);
}

std::optional<unsigned long> X11Session::FindWindowOfProcess(pid_t pid) const {
    if (!display)
        return std::nullopt;
    for (Window window : TopLevelWindows(display)) {
        const auto owner = LongProperty(display, window, "_NET_WM_PID", XA_CARDINAL);
        if (!owner.empty() && owner[0] == static_cast<unsigned long>(pid))
            return window;
    }
    return std::nullopt;
}

void X11Session::Activate(unsigned long window) const {
    if (!display)
        return;
    if (IsMinimised(display, window))
        XMapRaised(display, window); // mapping an iconic window asks the manager to restore it
    else
        XRaiseWindow(display, window);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // from a pager-like tool: managers honour it without focus rules
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

bool X11Session::ActivateWindowOfProcess(pid_t pid, const char* displayName) {
    const X11Session session(displayName);
    const auto window = session.FindWindowOfProcess(pid);
    if (!window)
        return false;
    session.Activate(*window);
    return true;
}

} // namespace Vellmar::Platform
