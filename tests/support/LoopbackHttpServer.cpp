#include "tests/support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>

namespace Vellmar::Testing {

namespace {

constexpr int PollMs = 100;
constexpr std::size_t MaxRequestBytes = 64 * 1024;
constexpr std::size_t ChunkBytes = 256 * 1024;
constexpr std::uint64_t TruncatedShortfall = 1000;

bool Readable(int fd) {
    pollfd waiting{fd, POLLIN, 0};
    return ::poll(&waiting, 1, PollMs) > 0;
}

void Reset(int connection) {
    const linger abortive{1, 0};
    ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
}

} // namespace

std::vector<std::string> RecordedRequest::Values(const std::string& name) const {
    std::vector<std::string> values;
    for (const std::string& line : headers) {
        if (line.size() <= name.size() || line[name.size()] != ':' ||
            ::strncasecmp(line.c_str(), name.c_str(), name.size()) != 0)
            continue;
        const std::size_t start = line.find_first_not_of(' ', name.size() + 1);
        values.push_back(start == std::string::npos ? "" : line.substr(start));
    }
    return values;
}

LoopbackHttpServer::LoopbackHttpServer(std::chrono::seconds connectionLimit,
                                       std::chrono::seconds lifetime)
    : connectionLimit(connectionLimit), endOfLife(std::chrono::steady_clock::now() + lifetime) {
    listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 16) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listener);
        throw std::runtime_error("loopback server: socket, bind or listen failed");
    }
    port = ntohs(address.sin_port);
    thread = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping = true;
    thread.join();
    ::close(listener);
}

void LoopbackHttpServer::Route(const std::string& target, HttpRoute route) {
    std::lock_guard lock(mutex);
    routes[target] = std::move(route);
}

std::string LoopbackHttpServer::Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port) + target;
}

std::vector<RecordedRequest> LoopbackHttpServer::Requests() const {
    std::lock_guard lock(mutex);
    return requests;
}

bool LoopbackHttpServer::Expired() const {
    const auto now = std::chrono::steady_clock::now();
    return stopping || now > endOfLife || now > connectionDeadline;
}

void LoopbackHttpServer::Run() {
    while (!stopping && std::chrono::steady_clock::now() < endOfLife) {
        if (!Readable(listener))
            continue;
        const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        connectionDeadline = std::chrono::steady_clock::now() + connectionLimit;
        Serve(connection);
        ::close(connection);
    }
}

bool LoopbackHttpServer::ReadRequest(int connection, RecordedRequest& request) {
    std::string received;
    std::array<char, 4096> buffer{};
    std::size_t end = std::string::npos;
    while ((end = received.find("\r\n\r\n")) == std::string::npos) {
        if (Expired() || received.size() > MaxRequestBytes)
            return false;
        if (!Readable(connection))
            continue;
        const ssize_t count = ::recv(connection, buffer.data(), buffer.size(), 0);
        if (count <= 0)
            return false;
        received.append(buffer.data(), static_cast<std::size_t>(count));
    }
    for (std::size_t start = 0, lineEnd = 0; start < end; start = lineEnd + 2) {
        lineEnd = received.find("\r\n", start);
        (start == 0 ? request.requestLine : request.headers.emplace_back()) =
            received.substr(start, lineEnd - start);
    }
    return true;
}

HttpRoute LoopbackHttpServer::Find(const std::string& target) const {
    std::lock_guard lock(mutex);
    auto found = routes.find(target);
    if (found == routes.end())
        found = routes.find(target.substr(0, target.find('?')));
    return found != routes.end() ? found->second : HttpRoute{.status = 404};
}

bool LoopbackHttpServer::Send(int connection, const char* data, std::size_t size) {
    while (size > 0) {
        if (Expired())
            return false;
        const ssize_t sent = ::send(connection, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd waiting{connection, POLLOUT, 0};
            ::poll(&waiting, 1, PollMs);
            continue;
        }
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool LoopbackHttpServer::SendBody(int connection, const HttpRoute& route, std::uint64_t size) {
    if (route.generatedSize == 0 && route.mode != HttpRoute::Mode::Endless)
        return Send(connection, route.body.data(), static_cast<std::size_t>(size));
    // Multiples of 251 keep the pattern continuous from one chunk to the next.
    std::string chunk(ChunkBytes / 251 * 251, '\0');
    for (std::size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = PatternByte(i);
    for (std::uint64_t part = 0; size > 0; size -= part) {
        part = std::min<std::uint64_t>(size, chunk.size());
        if (!Send(connection, chunk.data(), part))
            return false;
    }
    return true;
}

void LoopbackHttpServer::WaitForClose(int connection) {
    std::array<char, 4096> buffer{};
    while (!Expired()) {
        if (Readable(connection) && ::recv(connection, buffer.data(), buffer.size(), 0) <= 0)
            return;
    }
}

void LoopbackHttpServer::Serve(int connection) {
    RecordedRequest request;
    if (!ReadRequest(connection, request))
        return;
    {
        std::lock_guard lock(mutex);
        requests.push_back(request);
    }
    const std::size_t targetStart = request.requestLine.find(' ') + 1;
    const std::string target = request.requestLine.substr(
        targetStart, request.requestLine.find(' ', targetStart) - targetStart);
    const HttpRoute route = Find(target);
    const std::uint64_t size = route.generatedSize > 0 ? route.generatedSize : route.body.size();

    // Clients go by the status code; the reason phrase is any text.
    std::string head =
        "HTTP/1.1 " + std::to_string(route.status) + " Status\r\nConnection: close\r\n";
    if (route.mode == HttpRoute::Mode::TruncateBody)
        head += "Content-Length: " + std::to_string(size + TruncatedShortfall) + "\r\n";
    else if (route.mode != HttpRoute::Mode::Endless)
        head += "Content-Length: " + std::to_string(size) + "\r\n";
    for (const std::string& line : route.extraHeaders)
        head += line + "\r\n";
    head += "\r\n";
    if (!Send(connection, head.data(), head.size()))
        return;

    using Mode = HttpRoute::Mode;
    if (route.mode == Mode::ResetMidBody) {
        SendBody(connection, route, size / 2);
        return Reset(connection);
    }
    if (route.mode == Mode::Endless) {
        while (SendBody(connection, route, ChunkBytes / 251 * 251)) {
        }
        return;
    }
    if (route.mode == Mode::SlowDrip) {
        for (std::uint64_t i = 0; i < size && Send(connection, route.body.data() + i, 1); ++i)
            std::this_thread::sleep_for(route.dripInterval);
    } else if (route.mode != Mode::StallAfterHeaders && SendBody(connection, route, size)) {
        ::shutdown(connection, SHUT_WR);
    }
    WaitForClose(connection);
}

} // namespace Vellmar::Testing
