#include "platform/ActivationSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace Vellmar::Platform {

namespace {

constexpr int kReadTimeoutMs = 200;
constexpr std::size_t kMaxToken = 1024;

ActivationSocket::Observer& CurrentObserver() {
    static ActivationSocket::Observer observer;
    return observer;
}

bool Address(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Tokens are opaque printable text; anything else is not a token.
bool Printable(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

} // namespace

ActivationSocket::ActivationSocket(std::string socketPath) : path(std::move(socketPath)) {
    sockaddr_un address;
    if (!Address(path, address))
        return;
    fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    // The lock proves that no live holder uses the name: a socket there is a dead one's.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode))
        ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0) {
        ::close(fd);
        fd = -1;
        return;
    }
    if (CurrentObserver())
        CurrentObserver()(*this, true);
}

ActivationSocket::~ActivationSocket() {
    if (fd < 0)
        return;
    if (CurrentObserver())
        CurrentObserver()(*this, false);
    ::unlink(path.c_str());
    ::close(fd);
}

std::optional<std::string> ActivationSocket::Accept() const {
    if (fd < 0)
        return std::nullopt;
    const int peer = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (peer < 0)
        return std::nullopt;
    std::string text;
    char buffer[256];
    pollfd wait{peer, POLLIN, 0};
    while (text.size() <= kMaxToken && text.find('\n') == std::string::npos &&
           ::poll(&wait, 1, kReadTimeoutMs) > 0) {
        const ssize_t got = ::read(peer, buffer, sizeof buffer);
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(peer);
    const std::size_t end = text.find('\n');
    if (end == std::string::npos)
        return std::nullopt;
    text.resize(end);
    if (text.size() > kMaxToken || !Printable(text))
        return std::nullopt;
    return text;
}

bool ActivationSocket::Request(const std::string& path, const std::function<std::string()>& token) {
    sockaddr_un address;
    if (!Address(path, address))
        return false;
    const int peer = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (peer < 0)
        return false;
    bool sent = false;
    if (::connect(peer, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string made = token();
        const std::string line = (Printable(made) ? made : std::string()) + "\n";
        sent = ::send(peer, line.data(), line.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(line.size());
    }
    ::close(peer);
    return sent;
}

std::string ActivationSocket::PathForLock(const std::string& lockPath) {
    const std::string suffix = ".lock";
    if (lockPath.size() < suffix.size() ||
        lockPath.compare(lockPath.size() - suffix.size(), suffix.size(), suffix) != 0)
        return {};
    const std::string socketPath = lockPath.substr(0, lockPath.size() - suffix.size()) + ".sock";
    return socketPath.size() < sizeof(sockaddr_un::sun_path) ? socketPath : std::string();
}

void ActivationSocket::SetObserver(Observer observer) {
    CurrentObserver() = std::move(observer);
}

} // namespace Vellmar::Platform
