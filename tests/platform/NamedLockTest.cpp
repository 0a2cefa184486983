#include "platform/NamedLock.h"
#include "tests/platform/Scratch.h"
#include "tests/support/LockHolder.h"
#include "tests/support/PrivateXServer.h"

#include <gtest/gtest.h>
#include <unistd.h>
// Xlib defines None and Bool as macros: after gtest.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

using Vellmar::Platform::NamedLock;

using Holder = Vellmar::Testing::LockHolder;

class NamedLockTest : public ::testing::Test {
protected:
    TempDir runtime;
    ScopedEnv env{"XDG_RUNTIME_DIR", runtime.Path().c_str()};
};

TEST_F(NamedLockTest, AnotherProcessSeesTheNameUntilTheHolderDies) {
    const std::wstring name = L"Global\\Vellmar Game";
    Holder holder(name);
    ASSERT_TRUE(holder.took);
    {
        NamedLock probe(name);
        EXPECT_FALSE(probe.IsCreated());
        EXPECT_EQ(probe.HolderPid(), holder.pid);
    }
    holder.Kill(); // SIGKILL: no chance to clean up
    const std::string file = NamedLock::LockPath(name);
    std::ofstream(file, std::ios::trunc) << "4194304999\nleft over by an older holder\n";
    NamedLock after(name);
    EXPECT_TRUE(after.IsCreated());
    EXPECT_EQ(after.HolderPid(), ::getpid());
    std::ifstream written(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}),
              std::to_string(::getpid()) + "\n");
}

TEST_F(NamedLockTest, SameProcessSecondOpenExistsAndReleaseFreesTheName) {
    NamedLock first(L"GenericVellmarApp");
    ASSERT_TRUE(first.IsCreated());
    const std::string file = NamedLock::LockPath(L"GenericVellmarApp");
    EXPECT_TRUE(std::filesystem::exists(file));
    {
        NamedLock second(L"GenericVellmarApp");
        EXPECT_FALSE(second.IsCreated());
        NamedLock otherCase(L"genericvellmarapp"); // names are case-sensitive
        EXPECT_TRUE(otherCase.IsCreated());
    }
    EXPECT_TRUE(std::filesystem::exists(file)) << "a failed probe must not remove the lock";
    first.Release();
    EXPECT_FALSE(first.IsCreated());
    EXPECT_FALSE(std::filesystem::exists(file));

    // A probe that finds nobody takes the name and gives it back without a trace.
    { NamedLock probe(L"Probe"); }
    EXPECT_TRUE(std::filesystem::is_empty(runtime.Path() / "vellmar-mutex"));
    EXPECT_TRUE(NamedLock(L"GenericVellmarApp").IsCreated());
}

TEST_F(NamedLockTest, NamesMapToDistinctSafeFiles) {
    std::vector<std::wstring> names{L"a/b", L"a%2Fb", L"..", L".hidden", L"a\\b", L"Spi\u00e9l"};
    names.push_back(std::wstring(300, L'x'));
    names.push_back(std::wstring(299, L'x') + L"y");
    std::set<std::string> paths;
    for (const auto& name : names) {
        const std::string path = NamedLock::LockPath(name);
        EXPECT_EQ(std::filesystem::path(path).parent_path(), runtime.Path() / "vellmar-mutex");
        EXPECT_LT(std::filesystem::path(path).filename().string().size(), 255u);
        paths.insert(path);
        NamedLock lock(name);
        EXPECT_TRUE(lock.IsCreated()) << path;
    }
    EXPECT_EQ(paths.size(), names.size());
}

TEST_F(NamedLockTest, FallsBackToAPrivateTmpFolder) {
    for (const char* runtimeDir : {static_cast<const char*>(nullptr), "/nonexistent"}) {
        ScopedEnv env("XDG_RUNTIME_DIR", runtimeDir);
        const std::string path = NamedLock::LockPath(L"x");
        EXPECT_EQ(std::filesystem::path(path).parent_path(),
                  "/tmp/vellmar-mutex-" + std::to_string(::getuid()));
    }
}

TEST_F(NamedLockTest, NoDisplayMeansNothingToActivate) {
    ScopedEnv noDisplay("DISPLAY", nullptr);
    Holder holder(L"Front");
    NamedLock probe(L"Front");
    EXPECT_FALSE(probe.BringHolderToFront());
}

class X11Activation : public NamedLockTest {};

TEST_F(X11Activation, MinimisedHolderWindowIsRestored) {
    Vellmar::Testing::PrivateXServer server;
    if (server.name.empty())
        GTEST_SKIP() << "no Xvfb";
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
