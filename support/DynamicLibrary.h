#pragma once

#include <string>

namespace Vellmar {

// A shared library loaded at run time, released on destruction.
class DynamicLibrary {
public:
    // Throws Win32::LinkageError when the library cannot be loaded.
    explicit DynamicLibrary(const std::wstring& path);
    virtual ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    const std::string& LibraryName() const { return libraryName; }

protected:
    // Throws Win32::LoadProcError when the library does not export `name`.
    void* procedure(const char* name) const;

    template <typename Function> void bind(Function& target, const char* name) const {
        target = reinterpret_cast<Function>(procedure(name));
    }

private:
    void* handle;
    std::string libraryName;
};

} // namespace Vellmar
