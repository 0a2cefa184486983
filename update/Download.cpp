#include "update/Download.h"

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
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
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

void AllowWriting(const fs::path& path) {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
}

bool FileExists(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

void RemoveExistingTarget(const fs::path& target) {
    if (!FileExists(target))
        return;
    AllowWriting(target);
    std::error_code ignored;
    fs::remove(target, ignored);
}

void OpenTarget(OutputFile& file, const fs::path& target) {
    if (FileExists(target))
        AllowWriting(target);
    if (!file.Open(target))
        throw std::runtime_error(TextOpenFailed);
}

// Everything from opening the session to closing it: faults of the HTTP client and of the
// local file leave as HttpTransferError or FileWriteError.
void Transfer(const DownloadContext& context, const fs::path& target) {
    HttpRequest request(AgentName, context.limits);
    request.SetUrl(WideToUtf8(context.url));
    if (!request.AddHeaders(HeaderText))
        ThrowLastWin32Error("CheckNewsUpdate download failed to add headers");

    OutputFile file;
    const auto onResponse = [&](long status) {
        if (status <= 0)
            ThrowLastWin32Error("CheckNewsUpdate download failed to get return code", 0, {});
        if (status == StatusNotFound) {
            RemoveExistingTarget(target);
            return false;
        }
        if (status != StatusOk)
            throw std::runtime_error(TextNotOk);
        OpenTarget(file, target);
        return true;
    };
    const auto onBody = [&](std::span<const char> block) { file.Write(block); };
    try {
        request.Perform(context.checkAbort, onResponse, onBody);
        if (file.Created())
            file.Close();
    } catch (...) {
        if (file.Created()) {
            std::error_code ignored;
            fs::remove(target, ignored);
        }
        throw;
    }
}

} // namespace

void Download(const DownloadContext& context, const std::wstring& targetPath) {
    context.checkAbort();
    if (!HasHttpScheme(context.url))
        throw InvalidOperationException("scheme must be http");
    try {
        Transfer(context, fs::path(WideToUtf8(targetPath)));
    } catch (const HttpTransferError& error) {
        throw std::runtime_error(error.BodyTooLarge() ? TextTooLarge : TextClientError);
    } catch (const FileWriteError&) {
        throw std::runtime_error(TextClientError);
    }
}

} // namespace Vellmar
