#pragma once

#include <sys/types.h>

#include <cerrno>

#include <optional>
#include <string>
#include <string_view>

namespace Vellmar::Platform {

// A named, system-wide "is it running" marker standing in for a named mutex: an flock on
// $XDG_RUNTIME_DIR/vellmar-mutex/<escaped name>.lock (else, or when that folder is missing or
// not this user's, /tmp/vellmar-mutex-<uid>/). The
// holder writes its pid into the file. The kernel drops the lock when the holder dies, so a
// killed holder leaves the name free. A second lock of the same name in the same process also
// finds it taken.
class NamedLock {
public:
    explicit NamedLock(std::wstring_view name);
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;
    ~NamedLock();

    // True when this object took the name (nobody held it). False when another holder has it,
    // or when the lock could not be made at all (LastError() then says why).
    bool IsCreated() const { return created; }
    // True only when another holder has the name; a lock that could not be made is not held.
    bool IsHeldElsewhere() const { return !created && lastError == EEXIST; }
    int LastError() const { return lastError; }
    const std::wstring& Name() const { return name; }

    // Gives the name up; the lock file goes with it, so nothing is left behind.
    void Release();

    // The pid the current holder wrote, if any.
    std::optional<pid_t> HolderPid() const;

    // Restores and activates the holder's top-level window on the X display; false when there
    // is no holder, no display or no such window.
    bool BringHolderToFront() const;

    // The lock file that stands for `name` (its folder is created when needed).
    static std::string LockPath(std::wstring_view name);

private:
    std::wstring name;
    std::string path;
    int fd = -1;
    int lastError = 0;
    bool created = false;
};

} // namespace Vellmar::Platform
