#include "platform/NamedLock.h"
#include "tests/platform/Scratch.h"
#include "tests/support/LockHolder.h"
#include "tests/support/PrivateXServer.h"

#include <gtest/gtest.h>

// Xlib defines None and Bool as macros: after gtest.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using Vellmar::Platform::NamedLock;

TEST(X11Activation, MinimisedHolderWindowIsRestored) {
    Vellmar::Testing::PrivateXServer server;
    if (server.name.empty())
        GTEST_SKIP() << "no Xvfb";
    TempDir runtime;
    ScopedEnv env("XDG_RUNTIME_DIR", runtime.Path().c_str());
    ScopedEnv display("DISPLAY", server.name.c_str());
    const Vellmar::Testing::LockHolder holder(L"WindowedGame");

    Display* x = XOpenDisplay(server.name.c_str());
    ASSERT_NE(x, nullptr);
    const Window window = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 50, 50, 0, 0, 0);
    const unsigned long pid = static_cast<unsigned long>(holder.pid);
    XChangeProperty(x, window, XInternAtom(x, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XSync(x, False); // created but not mapped: what a minimised window is without a manager

    NamedLock probe(L"WindowedGame");
    EXPECT_FALSE(probe.IsCreated());
    EXPECT_TRUE(probe.BringHolderToFront());
    XWindowAttributes attributes{};
    XGetWindowAttributes(x, window, &attributes);
    EXPECT_EQ(attributes.map_state, IsViewable);

    NamedLock other(L"NoWindow");
    EXPECT_FALSE(other.BringHolderToFront()) << "our own process has no window";
    XCloseDisplay(x);
}
