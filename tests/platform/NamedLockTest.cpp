#include "platform/NamedLock.h"
#include "platform/ActivationSocket.h"
#include "tests/platform/Scratch.h"
#include "tests/support/LockHolder.h"
#include "tests/support/PrivateXServer.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
// Xlib defines None and Bool as macros: after gtest.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

using Vellmar::Platform::ActivationSocket;
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
    WriteFile(file, "4194304999\nleft over by an older holder\n");
    NamedLock after(name);
    EXPECT_TRUE(after.IsCreated());
    EXPECT_EQ(after.HolderPid(), ::getpid());
    EXPECT_EQ(ReadFile(file), std::to_string(::getpid()) + "\n");
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

namespace {

sockaddr_un AddressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

// A raw asker that sends `bytes` as they are and hangs up.
void SendRaw(const std::string& path, const std::string& bytes) {
    const int peer = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = AddressOf(path);
    ASSERT_EQ(::connect(peer, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::write(peer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(peer);
}

TEST(ActivationSocket, CarriesTheTokenAndRejectsWhatIsNotOne) {
    TempDir dir("vellmar-activation");
    const std::string path = (dir / "Game.sock").string();
    bool asked = false;
    EXPECT_FALSE(ActivationSocket::Request(path, [&] {
        asked = true;
        return "t";
    })) << "nobody listens yet";
    EXPECT_FALSE(asked) << "no token is made for nobody";
    // A holder that was killed left its socket behind.
    const int dead = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = AddressOf(path);
    ASSERT_EQ(::bind(dead, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(dead);
    ActivationSocket socket(path);
    ASSERT_GE(socket.Fd(), 0);
    EXPECT_FALSE(socket.Accept().has_value()) << "no request waits";
    const struct {
        std::string sent;
        std::optional<std::string> token;
    } cases[] = {{"abc_123:x\n", "abc_123:x"},
                 {"\n", ""},
                 {"two words\n", std::nullopt},
                 {"no end of line", std::nullopt},
                 {std::string(5000, 'a') + "\n", std::nullopt}};
    for (const auto& c : cases) {
        SendRaw(path, c.sent);
        EXPECT_EQ(socket.Accept(), c.token) << c.sent.substr(0, 20);
    }
    EXPECT_TRUE(ActivationSocket::Request(path, [] { return "token-1"; }));
    EXPECT_EQ(socket.Accept(), "token-1");
    EXPECT_TRUE(ActivationSocket::Request(path, [] { return "bad token"; }))
        << "sent without the bad token";
    EXPECT_EQ(socket.Accept(), "");
}

TEST(ActivationSocket, LiesBesideTheLockAndOnlyWhereAnAddressFits) {
    EXPECT_EQ(ActivationSocket::PathForLock("/run/user/1/vellmar-mutex/Game.lock"),
              "/run/user/1/vellmar-mutex/Game.sock");
    EXPECT_EQ(ActivationSocket::PathForLock("/x/Game"), "");
    EXPECT_EQ(ActivationSocket::PathForLock("/" + std::string(150, 'a') + ".lock"), "");
    int seen = 0;
    ActivationSocket::SetObserver(
        [&](ActivationSocket&, bool listening) { seen += listening ? 1 : 10; });
    TempDir dir("vellmar-activation");
    { ActivationSocket socket((dir / "a.sock").string()); }
    ActivationSocket::SetObserver(nullptr);
    EXPECT_EQ(seen, 11);
    EXPECT_FALSE(std::filesystem::exists(dir / "a.sock")) << "removed with its listener";
}

} // namespace
