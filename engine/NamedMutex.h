#pragma once

#include "platform/ActivationSocket.h"
#include "platform/NamedLock.h"

#include <memory>

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

    // Asks the holder to restore and activate its window, passing this process's activation
    // token; a holder that does not listen is activated through X11. Nothing when there is none.
    void BringHolderToFront() const;
    // The holder's side: answers the requests of BringHolderToFront while the name is held.
    void ListenForActivation();

private:
    Vellmar::Platform::NamedLock lock;
    std::unique_ptr<Vellmar::Platform::ActivationSocket> listener;
    int lastError;
    bool created;
    std::wstring name;
};
