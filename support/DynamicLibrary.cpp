#include "support/DynamicLibrary.h"

#include "support/Text.h"
#include "support/VellmarException.h"

#include <dlfcn.h>

#include <cerrno>

namespace Vellmar {

DynamicLibrary::DynamicLibrary(const std::wstring& path)
    : handle(nullptr), libraryName(WideToUtf8(path)) {
    errno = 0;
    handle = ::dlopen(libraryName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        // dlopen leaves errno at the cause when it is a system one (ENOENT, EACCES...).
        throw Win32::LinkageError(libraryName);
    }
}

DynamicLibrary::~DynamicLibrary() {
    ::dlclose(handle);
}

void* DynamicLibrary::procedure(const char* name) const {
    ::dlerror();
    void* address = ::dlsym(handle, name);
    if (address == nullptr) {
        errno = 0;
        throw Win32::LoadProcError(libraryName, name);
    }
    return address;
}

} // namespace Vellmar
