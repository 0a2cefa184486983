#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

namespace Vellmar {

// Bounds that keep a transfer from hanging or filling the disk.
struct HttpLimits {
    std::chrono::milliseconds connectTimeout{30000};
    // A transfer slower than this many bytes per second for lowSpeedTime fails.
    long lowSpeedBytesPerSecond = 1;
    std::chrono::seconds lowSpeedTime{60};
    std::uint64_t maxBodyBytes = std::uint64_t{1} << 30;
    // A transfer that trickles just above the low-speed rule must still end: each one may take
    // totalTimeBase, plus totalTimePerStep for every totalTimeStepBytes of the declared size
    // (or of the bytes received, when more).
    std::chrono::milliseconds totalTimeBase{std::chrono::minutes(5)};
    std::chrono::milliseconds totalTimePerStep{std::chrono::minutes(1)};
    std::uint64_t totalTimeStepBytes = 100'000'000;

    // The time one transfer may take; declaredBytes < 0 when the size is not known.
    std::chrono::milliseconds TotalTime(std::int64_t declaredBytes) const;
};

// A transfer that failed inside the HTTP client: network, protocol, timeout or size limit.
class HttpTransferError : public std::runtime_error {
public:
    HttpTransferError(const std::string& detail, bool bodyTooLarge)
        : std::runtime_error(detail), bodyTooLarge(bodyTooLarge) {}
    bool BodyTooLarge() const { return bodyTooLarge; }

private:
    bool bodyTooLarge;
};

// One GET over libcurl: http and https only (also after redirects), certificates verified,
// proxies from the environment, no caching anywhere on the way. Exceptions thrown by the
// handlers given to Perform stop the transfer and leave Perform unchanged.
class HttpRequest {
public:
    // Answers false to skip the body; the transfer then ends without error.
    using ResponseHandler = std::function<bool(long status)>;
    using BodyHandler = std::function<void(std::span<const char> block)>;
    // Called often, at least every 100 ms while a transfer is stalled; throws to abort.
    using PollHandler = std::function<void()>;

    static constexpr std::size_t BlockSize = 65536;

    HttpRequest(const std::string& agent, const HttpLimits& limits);
    ~HttpRequest();
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    // Throws HttpTransferError when the address cannot be parsed.
    void SetUrl(const std::string& url);
    const std::string& HostName() const;
    const std::string& UrlPath() const;

    // CR LF separated "Name: value" lines; a header already present is kept, as an
    // add-if-new request header would be. False when a line is malformed or memory ran out.
    bool AddHeaders(const std::string& text);

    // The response handler runs once, before the first block of the final response's body or,
    // for an empty body, after the transfer. Throws HttpTransferError for transfer failures.
    void Perform(const PollHandler& poll, const ResponseHandler& onResponse,
                 const BodyHandler& onBody);

private:
    struct State;
    std::unique_ptr<State> state;
};

} // namespace Vellmar
