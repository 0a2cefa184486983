#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Vellmar::Testing {

// How the server answers one request target.
struct HttpRoute {
    enum class Mode {
        Respond,           // status, headers and the whole body
        StallAfterHeaders, // headers, then silence until the client gives up
        ResetMidBody,      // half the body, then a TCP reset
        TruncateBody,      // Content-Length promises 1000 bytes more than are sent
        SlowDrip,          // the body one byte per dripInterval
        Endless,           // no Content-Length, pattern bytes until the client gives up
    };
    Mode mode = Mode::Respond;
    int status = 200;
    std::string body = {};
    // When set, the body is this many pattern bytes (PatternByte) instead of `body`.
    std::uint64_t generatedSize = 0;
    std::vector<std::string> extraHeaders = {};
    std::chrono::milliseconds dripInterval{50};
};

struct RecordedRequest {
    std::string requestLine;
    std::vector<std::string> headers;
    // Values of every header with this name (case-insensitive), in order.
    std::vector<std::string> Values(const std::string& name) const;
};

// HTTP/1.1 on 127.0.0.1 with an ephemeral port, one connection at a time on a thread of its
// own. Every wait is a short poll, so destruction returns promptly whatever a client does;
// a connection is dropped after connectionLimit and the thread ends by itself after lifetime.
class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(std::chrono::seconds connectionLimit = std::chrono::seconds(60),
                                std::chrono::seconds lifetime = std::chrono::seconds(600));
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // Targets match exactly (path and query); otherwise by path alone; otherwise 404.
    void Route(const std::string& target, HttpRoute route);
    std::uint16_t Port() const { return port; }
    std::string Url(const std::string& target) const;
    std::vector<RecordedRequest> Requests() const;

    static char PatternByte(std::uint64_t offset) { return static_cast<char>(offset % 251); }

private:
    void Run();
    void Serve(int connection);
    bool ReadRequest(int connection, RecordedRequest& request);
    HttpRoute Find(const std::string& target) const;
    bool Send(int connection, const char* data, std::size_t size);
    bool SendBody(int connection, const HttpRoute& route, std::uint64_t size);
    void WaitForClose(int connection);
    bool Expired() const;

    int listener = -1;
    std::uint16_t port = 0;
    std::chrono::seconds connectionLimit;
    std::chrono::steady_clock::time_point endOfLife;
    std::chrono::steady_clock::time_point connectionDeadline;
    std::atomic<bool> stopping{false};
    mutable std::mutex mutex;
    std::map<std::string, HttpRoute> routes;
    std::vector<RecordedRequest> requests;
    std::thread thread;
};

} // namespace Vellmar::Testing
