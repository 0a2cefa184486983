#include "update/Download.h"

#include "support/LogManager.h"
#include "support/MethodTrace.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace Vellmar {

namespace {

namespace fs = std::filesystem;
using Diagnostics::MethodTrace;

constexpr wchar_t LoggerName[] = L"autorun.CheckNewsUpdate";
constexpr char AgentName[] = "Vellmar Launcher Session";
constexpr char HeaderText[] = "Accept: text/*\r\nUser-Agent: Vellmar Launcher\r\n";
constexpr long StatusOk = 200;
constexpr long StatusNotFound = 404;

constexpr char TextNotOk[] = "CheckNewsUpdate download failed; result code was not OK.";
constexpr char TextOpenFailed[] = "CheckNewsUpdate download failed to open file.";
constexpr char TextClientError[] = "CheckNewsUpdate download failed due to a wininet error";
constexpr char TextTooLarge[] = "CheckNewsUpdate download failed; the body exceeds the size limit.";

// Writing the local file failed; reported like any other transfer fault.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile() {
        if (fd >= 0)
            ::close(fd);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool Open(const fs::path& path) {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
        created = fd >= 0;
        return created;
    }

    void Write(std::span<const char> block) {
        while (!block.empty()) {
            const ssize_t written = ::write(fd, block.data(), block.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                throw FileWriteError(std::string("writing the file failed: ") +
                                     std::strerror(errno));
            block = block.subspan(static_cast<std::size_t>(written));
        }
    }

    void Close() {
        const int closing = fd;
        fd = -1;
        if (::close(closing) != 0 && errno != EINTR)
            throw FileWriteError(std::string("closing the file failed: ") + std::strerror(errno));
    }

    // True once this object created or truncated the file, even after Close.
    bool Created() const { return created; }

private:
    int fd = -1;
    bool created = false;
};

bool IsSchemeChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'+' || c == L'-' || c == L'.';
}

bool HasHttpScheme(const std::wstring& url) {
    const std::size_t colon = url.find(L':');
    if (colon == std::wstring::npos || colon == 0)
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        if (!IsSchemeChar(url[i]))
            return false;
    }
    const std::wstring_view scheme(url.data(), colon);
    return EqualsIgnoreCase(scheme, L"http") || EqualsIgnoreCase(scheme, L"https");
}

constexpr int LogLevel = 3;

void Log(const MethodTrace& trace, const wchar_t* message) {
    if (trace.isEnabledFor(LogLevel))
        trace.log(LogLevel, message);
}

// The text is only built when the level is enabled.
template <typename BuildText> void LogBuilt(const MethodTrace& trace, BuildText build) {
    if (trace.isEnabledFor(LogLevel))
        trace.log(LogLevel, build());
}

void AllowWriting(const fs::path& path) {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
}

bool FileExists(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

void RemoveExistingTarget(const MethodTrace& trace, const fs::path& target) {
    if (!FileExists(target))
        return;
    Log(trace, L"- resetting read only on existing target file");
    AllowWriting(target);
    Log(trace, L"- not found so deleting existing target file");
    std::error_code ignored;
    fs::remove(target, ignored);
}

void OpenTarget(const MethodTrace& trace, OutputFile& file, const fs::path& target) {
    LogBuilt(trace, [&] { return L"- download target path: " + Utf8ToWide(target.native()); });
    if (FileExists(target)) {
        Log(trace, L"- resetting read only on existing target file");
        AllowWriting(target);
    }
    Log(trace, L"- opening local file for write");
    if (!file.Open(target))
        throw std::runtime_error(TextOpenFailed);
}

// Everything from opening the session to closing it: faults of the HTTP client and of the
// local file leave as HttpTransferError or FileWriteError.
void Transfer(const MethodTrace& trace, const DownloadContext& context, const fs::path& target) {
    Log(trace, L"- creating session");
    HttpRequest request(AgentName, context.limits);
    Log(trace, L"- creating connection");
    request.SetUrl(WideToUtf8(context.url));
    LogBuilt(trace, [&] { return L"- hostname: " + Utf8ToWide(request.HostName()); });
    LogBuilt(trace, [&] { return L"- urlpath: " + Utf8ToWide(request.UrlPath()); });
    Log(trace, L"- creating request");
    Log(trace, L"- adding user agent");
    if (!request.AddHeaders(HeaderText))
        ThrowLastWin32Error("CheckNewsUpdate download failed to add headers");

    OutputFile file;
    const auto onResponse = [&](long status) {
        Log(trace, L"- checking status code");
        if (status <= 0)
            ThrowLastWin32Error("CheckNewsUpdate download failed to get return code", 0, {});
        LogBuilt(trace, [&] { return L"- status code: " + std::to_wstring(status); });
        if (status == StatusNotFound) {
            RemoveExistingTarget(trace, target);
            return false;
        }
        if (status != StatusOk)
            throw std::runtime_error(TextNotOk);
        OpenTarget(trace, file, target);
        Log(trace, L"- beginning download");
        return true;
    };
    const auto onBody = [&](std::span<const char> block) { file.Write(block); };
    Log(trace, L"- sending request");
    try {
        request.Perform(
            context.checkAbort ? context.checkAbort : [] {}, onResponse, onBody);
        if (file.Created()) {
            Log(trace, L"Download finished");
            file.Close();
        }
    } catch (...) {
        if (file.Created()) {
            // Removed before logging: a failing log must not leave the file behind.
            std::error_code ignored;
            fs::remove(target, ignored);
            Log(trace, L"Download failed, deleting local file");
        }
        throw;
    }
}

[[noreturn]] void ThrowClientError(const MethodTrace& trace, const std::string& detail,
                                   const char* text) {
    Log(trace, L"Download failed");
    LogBuilt(trace, [&] { return L"- error: " + Utf8ToWide(detail); });
    throw std::runtime_error(text);
}

} // namespace

void Download(const DownloadContext& context, const std::wstring& targetPath) {
    const std::shared_ptr<Diagnostics::Logger> logger =
        context.logger ? context.logger : Diagnostics::LogManager::getLogger(LoggerName);
    const MethodTrace trace(logger, L"CheckNewsUpdate", L"Download");
    Log(trace, L"Attempting download");
    Log(trace, L"- checking for abort");
    if (context.checkAbort)
        context.checkAbort();
    LogBuilt(trace, [&] { return L"- url: " + context.url; });
    if (!HasHttpScheme(context.url))
        throw InvalidOperationException("scheme must be http");
    try {
        Transfer(trace, context, fs::path(WideToUtf8(targetPath)));
    } catch (const HttpTransferError& error) {
        ThrowClientError(trace, error.what(),
                         error.BodyTooLarge() ? TextTooLarge : TextClientError);
    } catch (const FileWriteError& error) {
        ThrowClientError(trace, error.what(), TextClientError);
    }
}

} // namespace Vellmar
