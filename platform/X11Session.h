#pragma once

#include <sys/types.h>

#include <optional>

struct _XDisplay;

namespace Vellmar::Platform {

// The one owner of an Xlib connection. While it is open, X protocol errors (windows vanishing
// under us) are ignored rather than ending the process.
class X11Session {
public:
    // Connects to $DISPLAY (or `displayName`); IsOpen() is false when there is no X server.
    explicit X11Session(const char* displayName = nullptr);
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;
    ~X11Session();

    bool IsOpen() const { return display != nullptr; }

    // The first top-level window whose _NET_WM_PID is `pid`.
    std::optional<unsigned long> FindWindowOfProcess(pid_t pid) const;
    // Restores the window when it is minimised, raises it and asks the window manager to
    // activate it (_NET_ACTIVE_WINDOW).
    void Activate(unsigned long window) const;

    // Both steps on a session of its own; false without a display or a window.
    static bool ActivateWindowOfProcess(pid_t pid, const char* displayName = nullptr);

private:
    _XDisplay* display = nullptr;
    int (*previousHandler)(_XDisplay*, void*) = nullptr;
};

} // namespace Vellmar::Platform
