#include "engine/NamedMutex.h"

#include "platform/WaylandActivation.h"

#include <cstdlib>

using Vellmar::Platform::ActivationSocket;
using Vellmar::Platform::NamedLock;

namespace {

std::string SocketOf(const std::wstring& name) {
    return ActivationSocket::PathForLock(NamedLock::LockPath(name));
}

} // namespace

NamedMutex::NamedMutex(const std::wstring& name)
    : lock(name), lastError(lock.LastError()), created(lock.IsCreated()), name(name) {}

void NamedMutex::Release() {
    listener.reset();
    lock.Release();
    created = false;
}

void NamedMutex::BringHolderToFront() const {
    // The token this launcher was started with is the desktop's leave to raise a window.
    const auto token = []() -> std::string {
        const char* given = std::getenv("XDG_ACTIVATION_TOKEN");
        return given && *given ? given : Vellmar::Platform::WaylandActivation::RequestToken();
    };
    if (ActivationSocket::Request(SocketOf(name), token))
        return;
    lock.BringHolderToFront();
}

void NamedMutex::ListenForActivation() {
    if (created && !listener)
        listener = std::make_unique<ActivationSocket>(SocketOf(name));
}
