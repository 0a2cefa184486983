#include "platform/FileLock.h"

#include "platform/unrar/UniqueFd.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace Vellmar::Platform {

namespace {

using Clock = std::chrono::steady_clock;

Unrar::UniqueFd OpenLockFile(const std::string& path) {
    Unrar::UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!fd)
        ThrowLastWin32Error("open " + path, Utf8ToWide(path));
    return fd;
}

// Polling instead of a blocking flock bounds the wait when a live holder is stuck.
void Acquire(int fd, const std::string& path, Clock::time_point deadline) {
    auto pause = std::chrono::microseconds(200);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if ((error != EWOULDBLOCK && error != EINTR) || Clock::now() >= deadline)
            throw Win32::Win32Exception("lock " + path, error == EWOULDBLOCK ? ETIMEDOUT : error);
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(2000));
    }
}

} // namespace

FileLock::FileLock(const std::string& lockPath, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    // A poller alone never sees the lock free when its holder takes it again at once; holding
    // the queue lock while waiting makes such a holder wait for its next turn behind us.
    const std::string queuePath = lockPath + ".queue";
    const Unrar::UniqueFd queue = OpenLockFile(queuePath);
    Acquire(queue.get(), queuePath, deadline);
    Unrar::UniqueFd lock = OpenLockFile(lockPath);
    Acquire(lock.get(), lockPath, deadline);
    fd = lock.release();
}

FileLock::~FileLock() {
    if (fd >= 0)
        ::close(fd);
}

} // namespace Vellmar::Platform
