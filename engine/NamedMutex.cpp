#include "engine/NamedMutex.h"

NamedMutex::NamedMutex(const std::wstring& name)
    : lock(name), lastError(lock.LastError()), created(lock.IsCreated()), name(name) {}

void NamedMutex::Release() {
    lock.Release();
    created = false;
}

void NamedMutex::BringHolderToFront() const {
    lock.BringHolderToFront();
}
