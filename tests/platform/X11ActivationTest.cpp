#include "platform/NamedLock.h"
#include "tests/platform/Scratch.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

// Xlib defines None and Bool as macros: after gtest.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using Vellmar::Platform::NamedLock;

namespace {

// A private X server for one test; the test is skipped when Xvfb is not installed.
class PrivateXServer {
public:
    PrivateXServer() {
        if (::access("/usr/bin/Xvfb", X_OK) != 0)
            return;
        // Appending, not "literal" + string: GCC 12 warns wrongly about the latter at -O3.
        const auto taken = [](const std::string& number) {
            return ::access((std::string("/tmp/.X11-unix/X") += number).c_str(), F_OK) == 0 ||
                   ::access((std::string("/tmp/.X") += number + "-lock").c_str(), F_OK) == 0;
        };
        int number = 90 + ::getpid() % 400;
        while (taken(std::to_string(number)))
            ++number;
        const std::string display = std::string(":") += std::to_string(number);
        pid = ::fork();
        if (pid == 0) {
            ::execl("/usr/bin/Xvfb", "Xvfb", display.c_str(), "-nolisten", "tcp", "-screen", "0",
                    "320x240x24", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            if (Display* probe = XOpenDisplay(display.c_str())) {
                XCloseDisplay(probe);
                name = display;
                return;
            }
            ::usleep(50000);
        }
    }
    ~PrivateXServer() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
    pid_t pid = -1;
    std::string name;
};

// A holder process that takes the lock and waits to be killed.
pid_t StartHolderProcess(const std::wstring& lockName) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        NamedLock lock(lockName);
        (void)!::write(ready[1], "x", 1);
        for (;;)
            ::pause();
    }
    char byte;
    (void)!::read(ready[0], &byte, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return pid;
}

struct Holder {
    explicit Holder(const std::wstring& lockName) : pid(StartHolderProcess(lockName)) {}
    ~Holder() {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    pid_t pid;
};

} // namespace

TEST(X11Activation, MinimisedHolderWindowIsRestored) {
    PrivateXServer server;
    if (server.name.empty())
        GTEST_SKIP() << "no Xvfb";
    TempDir runtime;
    ScopedEnv env("XDG_RUNTIME_DIR", runtime.Path().c_str());
    ScopedEnv display("DISPLAY", server.name.c_str());
    const Holder holder(L"WindowedGame");

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
