#pragma once

#include <chrono>
#include <string>

namespace Vellmar::Platform {

// An exclusive flock on a lock file that lives beside the data it guards (the data itself is
// replaced by rename, so it cannot carry the lock). The kernel drops the lock when its holder
// dies, so a crashed writer never blocks the next one.
class FileLock {
public:
    // Waits until the lock is held; throws Win32Exception (ETIMEDOUT) after `timeout`.
    FileLock(const std::string& lockPath, std::chrono::milliseconds timeout);
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

private:
    int fd = -1;
};

} // namespace Vellmar::Platform
