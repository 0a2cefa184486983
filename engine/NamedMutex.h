#pragma once

#include "platform/NamedLock.h"

#include <string>

// A named system-wide mutex: tells whether another process (or another holder here) had the
// name, and can bring that holder's window to the front.
class NamedMutex {
public:
    explicit NamedMutex(const std::wstring& name);
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;
    ~NamedMutex() = default;

    // True when nobody held the name before.
    bool IsCreated() const { return created; }
    // True when another holder has the name (not when the mutex could not be made at all).
    bool IsHeldElsewhere() const { return lock.IsHeldElsewhere(); }
    int LastError() const { return lastError; }
    const std::wstring& Name() const { return name; }

    // Gives the name up (when this object took it) and drops the handle.
    void Release();

    // Restores and activates the holder's window; nothing when there is none.
    void BringHolderToFront() const;

private:
    Vellmar::Platform::NamedLock lock;
    int lastError;
    bool created;
    std::wstring name;
};
