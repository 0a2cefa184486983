#include "update/HttpRequest.h"

#include "support/VellmarException.h"
#include "update/CurlLibrary.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <exception>
#include <string_view>
#include <vector>

namespace Vellmar {

namespace {

// Only reached once a request exists, that is once the library is loaded.
const CurlLibrary& Curl() {
    return CurlLibrary::Instance();
}

// A missing libcurl is a failure of the HTTP client like any other: the download names it.
const CurlLibrary& LoadCurl() {
    try {
        const CurlLibrary& curl = CurlLibrary::Instance();
        if (curl.GlobalInitResult() != CURLE_OK)
            throw HttpTransferError(curl.curl_easy_strerror(curl.GlobalInitResult()), false);
        return curl;
    } catch (const Win32::LinkageError& error) {
        throw HttpTransferError(DescribeException(error), false);
    }
}

struct EasyDeleter {
    void operator()(CURL* handle) const { Curl().curl_easy_cleanup(handle); }
};
struct MultiDeleter {
    void operator()(CURLM* handle) const { Curl().curl_multi_cleanup(handle); }
};
struct UrlDeleter {
    void operator()(CURLU* handle) const { Curl().curl_url_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { Curl().curl_slist_free_all(list); }
};

// The easy handle must leave the multi handle before either is cleaned up.
class MultiAttachment {
public:
    MultiAttachment(CURLM* multi, CURL* easy) : multi(multi), easy(easy) {
        if (Curl().curl_multi_add_handle(multi, easy) != CURLM_OK)
            throw HttpTransferError("the transfer could not be started", false);
    }
    ~MultiAttachment() { Curl().curl_multi_remove_handle(multi, easy); }
    MultiAttachment(const MultiAttachment&) = delete;
    MultiAttachment& operator=(const MultiAttachment&) = delete;

private:
    CURLM* multi;
    CURL* easy;
};

constexpr int PollIntervalMs = 100;
constexpr long MaxRedirects = 10;
constexpr const char* AllowedProtocols = "http,https";

#ifdef CURL_WRITEFUNC_ERROR
constexpr std::size_t WriteRefused = CURL_WRITEFUNC_ERROR;
#else
constexpr std::size_t WriteRefused = 0;
#endif

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return lower;
}

std::string UrlPart(CURLU* url, CURLUPart part) {
    char* text = nullptr;
    if (Curl().curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr)
        return {};
    std::string copy(text);
    Curl().curl_free(text);
    return copy;
}

} // namespace

std::chrono::milliseconds HttpLimits::TotalTime(std::int64_t declaredBytes) const {
    if (declaredBytes <= 0 || totalTimeStepBytes == 0)
        return totalTimeBase;
    // In floating point: the product of a large size and a step would overflow.
    const double steps =
        static_cast<double>(declaredBytes) / static_cast<double>(totalTimeStepBytes);
    const double extra = steps * static_cast<double>(totalTimePerStep.count());
    constexpr double kCap = 1e12; // milliseconds, some thirty years
    return totalTimeBase +
           std::chrono::milliseconds(static_cast<std::int64_t>(std::min(extra, kCap)));
}

struct HttpRequest::State {
    std::unique_ptr<CURL, EasyDeleter> easy;
    std::unique_ptr<CURLU, UrlDeleter> url;
    std::unique_ptr<curl_slist, ListDeleter> headers;
    std::vector<std::string> headerNames;
    std::array<char, CURL_ERROR_SIZE> errorText{};
    HttpLimits limits;
    std::string hostName;
    std::string urlPath;

    // Valid during Perform only.
    const PollHandler* poll = nullptr;
    const ResponseHandler* onResponse = nullptr;
    const BodyHandler* onBody = nullptr;
    std::exception_ptr failure;
    bool responseDelivered = false;
    bool bodySkipped = false;
    std::uint64_t bodyBytes = 0;

    bool Append(const std::string& line, std::string_view name) {
        curl_slist* grown = Curl().curl_slist_append(headers.get(), line.c_str());
        if (grown == nullptr)
            return false;
        headers.release();
        headers.reset(grown);
        headerNames.push_back(LowerAscii(name));
        return true;
    }

    bool DeliverResponse() {
        long status = 0;
        Curl().curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
        responseDelivered = true;
        return (*onResponse)(status);
    }

    void TakeBlock(std::span<const char> block) {
        bodyBytes += block.size();
        if (bodyBytes > limits.maxBodyBytes)
            throw HttpTransferError(
                "the body exceeds " + std::to_string(limits.maxBodyBytes) + " bytes", true);
        if (!block.empty())
            (*onBody)(block);
    }

    std::string ErrorText(CURLcode result) const {
        return errorText[0] != '\0' ? std::string(errorText.data())
                                    : std::string(Curl().curl_easy_strerror(result));
    }

    void Configure(const std::string& agent);

    void CheckTotalTime(std::chrono::steady_clock::time_point start) const {
        curl_off_t declared = -1;
        Curl().curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &declared);
        // A body of unannounced size earns its time by what has arrived; a trickle earns none.
        const auto size = std::max<std::int64_t>(declared, static_cast<std::int64_t>(bodyBytes));
        const auto allowed = limits.TotalTime(size);
        if (std::chrono::steady_clock::now() - start > allowed)
            throw HttpTransferError(
                "the transfer took longer than " + std::to_string(allowed.count()) + " ms", false);
    }

    // Exceptions must not cross libcurl's C frames: they are parked and rethrown by Perform.
    static std::size_t OnWrite(char* data, std::size_t size, std::size_t count, void* user);
    static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
};

std::size_t HttpRequest::State::OnWrite(char* data, std::size_t size, std::size_t count,
                                        void* user) {
    auto& state = *static_cast<State*>(user);
    const std::size_t length = size * count;
    try {
        if (!state.responseDelivered && !state.DeliverResponse()) {
            state.bodySkipped = true;
            return WriteRefused;
        }
        state.TakeBlock({data, length});
        return length;
    } catch (...) {
        state.failure = std::current_exception();
        return WriteRefused;
    }
}

int HttpRequest::State::OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& state = *static_cast<State*>(user);
    try {
        (*state.poll)();
        return 0;
    } catch (...) {
        state.failure = std::current_exception();
        return 1;
    }
}

void HttpRequest::State::Configure(const std::string& agent) {
    const CurlLibrary& curl = Curl();
    CURL* handle = easy.get();
    curl.curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl.curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText.data());
    curl.curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());
    curl.curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl.curl_easy_setopt(handle, CURLOPT_PATH_AS_IS, 1L);
    curl.curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl.curl_easy_setopt(handle, CURLOPT_MAXREDIRS, MaxRedirects);
#if LIBCURL_VERSION_NUM >= 0x075500
    curl.curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, AllowedProtocols);
    curl.curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, AllowedProtocols);
#else
    curl.curl_easy_setopt(handle, CURLOPT_PROTOCOLS, long{CURLPROTO_HTTP | CURLPROTO_HTTPS});
    curl.curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS, long{CURLPROTO_HTTP | CURLPROTO_HTTPS});
#endif
    curl.curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl.curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl.curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                          static_cast<long>(limits.connectTimeout.count()));
    curl.curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
    curl.curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME,
                          static_cast<long>(limits.lowSpeedTime.count()));
    curl.curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE,
                          static_cast<curl_off_t>(std::min<std::uint64_t>(
                              limits.maxBodyBytes, static_cast<std::uint64_t>(INT64_MAX))));
    curl.curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, static_cast<long>(BlockSize));
    curl.curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnWrite);
    curl.curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
    curl.curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl.curl_easy_setopt(handle, CURLOPT_XFERINFODATA, this);
    curl.curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
}

HttpRequest::HttpRequest(const std::string& agent, const HttpLimits& limits)
    : state(std::make_unique<State>()) {
    LoadCurl();
    state->limits = limits;
    state->easy.reset(Curl().curl_easy_init());
    if (!state->easy)
        throw HttpTransferError("the HTTP session could not be created", false);
    state->Configure(agent);
    state->headerNames.push_back("user-agent");
    // Neither the client nor a proxy may answer from a cache.
    if (!state->Append("Cache-Control: no-cache", "Cache-Control") ||
        !state->Append("Pragma: no-cache", "Pragma"))
        throw HttpTransferError("the HTTP session could not be created", false);
}

HttpRequest::~HttpRequest() = default;

void HttpRequest::SetUrl(const std::string& text) {
    std::unique_ptr<CURLU, UrlDeleter> url(Curl().curl_url());
    if (!url)
        throw HttpTransferError("the address could not be parsed", false);
    const CURLUcode parsed =
        Curl().curl_url_set(url.get(), CURLUPART_URL, text.c_str(), CURLU_PATH_AS_IS);
    if (parsed != CURLUE_OK)
        throw HttpTransferError(std::string("the address could not be parsed: ") +
                                    Curl().curl_url_strerror(parsed),
                                false);
    // Credentials written into the address are not used.
    Curl().curl_url_set(url.get(), CURLUPART_USER, nullptr, 0);
    Curl().curl_url_set(url.get(), CURLUPART_PASSWORD, nullptr, 0);
    Curl().curl_url_set(url.get(), CURLUPART_OPTIONS, nullptr, 0);
    state->hostName = UrlPart(url.get(), CURLUPART_HOST);
    state->urlPath = UrlPart(url.get(), CURLUPART_PATH);
    state->url = std::move(url);
    Curl().curl_easy_setopt(state->easy.get(), CURLOPT_CURLU, state->url.get());
}

const std::string& HttpRequest::HostName() const {
    return state->hostName;
}

const std::string& HttpRequest::UrlPath() const {
    return state->urlPath;
}

bool HttpRequest::AddHeaders(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        if (line.empty())
            continue;
        const std::size_t colon = line.find(':');
        if (colon == 0 || colon == std::string::npos) {
            errno = EINVAL;
            return false;
        }
        const std::string name = line.substr(0, colon);
        if (std::find(state->headerNames.begin(), state->headerNames.end(), LowerAscii(name)) !=
            state->headerNames.end())
            continue;
        if (!state->Append(line, name))
            return false;
    }
    return true;
}

void HttpRequest::Perform(const PollHandler& poll, const ResponseHandler& onResponse,
                          const BodyHandler& onBody) {
    const CurlLibrary& curl = Curl();
    State& s = *state;
    s.poll = &poll;
    s.onResponse = &onResponse;
    s.onBody = &onBody;
    s.failure = nullptr;
    s.responseDelivered = false;
    s.bodySkipped = false;
    s.bodyBytes = 0;
    s.errorText[0] = '\0';
    curl.curl_easy_setopt(s.easy.get(), CURLOPT_HTTPHEADER, s.headers.get());

    std::unique_ptr<CURLM, MultiDeleter> multi(curl.curl_multi_init());
    if (!multi)
        throw HttpTransferError("the transfer could not be started", false);
    CURLcode result = CURLE_OK;
    {
        MultiAttachment attachment(multi.get(), s.easy.get());
        const auto start = std::chrono::steady_clock::now();
        int running = 1;
        while (running > 0) {
            s.CheckTotalTime(start);
            if (curl.curl_multi_perform(multi.get(), &running) != CURLM_OK)
                throw HttpTransferError("the transfer failed inside the HTTP client", false);
            if (running == 0)
                break;
            // A stalled connect or name look-up may not reach the progress callback.
            if (curl.curl_multi_poll(multi.get(), nullptr, 0, PollIntervalMs, nullptr) != CURLM_OK)
                throw HttpTransferError("the transfer failed inside the HTTP client", false);
            poll();
        }
        int pending = 0;
        while (CURLMsg* message = curl.curl_multi_info_read(multi.get(), &pending)) {
            if (message->msg == CURLMSG_DONE)
                result = message->data.result;
        }
    }
    if (s.failure)
        std::rethrow_exception(s.failure);
    if (s.bodySkipped)
        return;
    if (result != CURLE_OK)
        throw HttpTransferError(s.ErrorText(result), result == CURLE_FILESIZE_EXCEEDED);
    if (!s.responseDelivered && s.DeliverResponse())
        s.TakeBlock({});
}

} // namespace Vellmar
