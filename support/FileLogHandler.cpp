#include "support/FileLogHandler.h"

#include "support/LogRecord.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace Vellmar::Diagnostics {

namespace {

int OpenLog(const std::string& path, int flags) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666);
}

// One write() per line keeps concurrent appenders from splitting it. 0 or the errno.
int AppendLine(const std::string& path, const std::string& bytes) {
    const int fd = OpenLog(path, O_APPEND);
    if (fd < 0)
        return errno;
    int error = 0;
    for (std::size_t done = 0; done < bytes.size() && error == 0;) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0 || errno != EINTR)
            error = n == 0 ? EIO : errno;
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return error;
}

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
    const int fd = OpenLog(this->path, append ? O_APPEND : O_TRUNC);
    if (fd < 0)
        throw LogException("Could not open log file: " + this->path);
    ::close(fd);
}

void FileLogHandler::publish(const LogRecord& record) {
    if (!LogHandler::isLoggable(record))
        return;
    std::lock_guard<std::mutex> guard(lock);
    std::wostringstream lines;
    stream = &lines;
    try {
        writeLocked(record);
    } catch (...) {
        stream = nullptr;
        throw;
    }
    stream = nullptr;
    // A log that fails during a run (folder removed, disk full) loses the line, never the run.
    const int error = AppendLine(path, ToFileBytes(lines.str()));
    if (error != 0 && !failureReported) {
        failureReported = true;
        std::fprintf(stderr, "Could not write log file: %s: %s; lines are dropped\n", path.c_str(),
                     std::strerror(error));
    }
}

} // namespace Vellmar::Diagnostics
