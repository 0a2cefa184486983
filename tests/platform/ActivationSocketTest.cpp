#include "platform/ActivationSocket.h"
#include "tests/platform/Scratch.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

using Vellmar::Platform::ActivationSocket;

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
