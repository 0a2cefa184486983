#include "platform/FileLock.h"

#include "support/Text.h"
#include "support/VellmarException.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace Vellmar::Platform {

FileLock::FileLock(const std::string& lockPath, std::chrono::milliseconds timeout) {
    fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        ThrowLastWin32Error("open " + lockPath, Utf8ToWide(lockPath));
    // Polling instead of a blocking flock bounds the wait when a live holder is stuck.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto pause = std::chrono::microseconds(200);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if ((error != EWOULDBLOCK && error != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            fd = -1;
            throw Win32::Win32Exception("lock " + lockPath,
                                        error == EWOULDBLOCK ? ETIMEDOUT : error);
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(2000));
    }
}

FileLock::~FileLock() {
    if (fd >= 0)
        ::close(fd);
}

} // namespace Vellmar::Platform
