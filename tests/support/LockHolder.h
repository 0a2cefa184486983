#pragma once

#include <sys/types.h>

#include <string>

namespace Vellmar::Testing {

// A second process that takes the named lock and holds it until killed (SIGKILL: no chance to
// clean up, as when a game crashes).
class LockHolder {
public:
    // Without `writePid` the lock file stays empty, as when its holder could not write it.
    explicit LockHolder(const std::wstring& name, bool writePid = true);
    ~LockHolder() { Kill(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    void Kill();

    pid_t pid = -1;
    bool took = false;
};

} // namespace Vellmar::Testing
