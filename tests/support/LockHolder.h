#pragma once

#include <sys/types.h>

#include <string>

namespace Vellmar::Testing {

// A second process that takes the named lock and holds it until killed (SIGKILL: no chance to
// clean up, as when a game crashes).
class LockHolder {
public:
    explicit LockHolder(const std::wstring& name);
    ~LockHolder() { Kill(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    void Kill();

    pid_t pid = -1;
    bool took = false;
};

} // namespace Vellmar::Testing
