#include "support/FileLogHandler.h"

#include "support/LogRecord.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

namespace Vellmar::Diagnostics {

namespace {

class LogFile {
public:
    LogFile(const std::string& path, int flags)
        : fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666)) {
        if (fd < 0)
            throw LogException("Could not open log file: " + path);
    }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile() { ::close(fd); }

    // One write() per line keeps concurrent appenders from splitting it.
    bool Write(const std::string& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    int fd;
};

// Logs are read with Windows tools too: every line end becomes CR LF.
std::string ToFileBytes(const std::wstring& text) {
    std::wstring crlf;
    crlf.reserve(text.size() + 8);
    for (wchar_t c : text) {
        if (c == L'\n')
            crlf += L'\r';
        crlf += c;
    }
    return WideToUtf8(crlf);
}

} // namespace

FileLogHandler::FileLogHandler(const std::wstring& path, bool append)
    : path(NativeTargetPath(path)) {
    LogFile file(this->path, append ? O_APPEND : O_TRUNC);
}

void FileLogHandler::publish(const LogRecord& record) {
    if (!LogHandler::isLoggable(record))
        return;
    std::lock_guard<std::mutex> guard(lock);
    LogFile file(path, O_APPEND);
    std::wostringstream lines;
    stream = &lines;
    try {
        writeLocked(record);
    } catch (...) {
        stream = nullptr;
        throw;
    }
    stream = nullptr;
    if (!file.Write(ToFileBytes(lines.str())))
        throw LogException("Could not write log file: " + path);
}

} // namespace Vellmar::Diagnostics
