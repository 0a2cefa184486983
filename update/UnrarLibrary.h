#pragma once

#include "platform/unrar/unrar.h"
#include "support/DynamicLibrary.h"

namespace Vellmar {

// The RAR extraction library with its twelve functions bound at construction, in the order
// of its interface; a missing one throws Win32::LoadProcError.
class UnrarLibrary : public DynamicLibrary {
public:
    explicit UnrarLibrary(const std::wstring& path);

    HANDLE (*RAROpenArchive)(RAROpenArchiveData*) = nullptr;
    HANDLE (*RAROpenArchiveEx)(RAROpenArchiveDataEx*) = nullptr;
    int (*RARCloseArchive)(HANDLE) = nullptr;
    int (*RARReadHeader)(HANDLE, RARHeaderData*) = nullptr;
    int (*RARReadHeaderEx)(HANDLE, RARHeaderDataEx*) = nullptr;
    int (*RARProcessFile)(HANDLE, int, char*, char*) = nullptr;
    int (*RARProcessFileW)(HANDLE, int, wchar_t*, wchar_t*) = nullptr;
    void (*RARSetCallback)(HANDLE, UNRARCALLBACK, LPARAM) = nullptr;
    void (*RARSetChangeVolProc)(HANDLE, CHANGEVOLPROC) = nullptr;
    void (*RARSetProcessDataProc)(HANDLE, PROCESSDATAPROC) = nullptr;
    void (*RARSetPassword)(HANDLE, char*) = nullptr;
    int (*RARGetDllVersion)() = nullptr;
};

} // namespace Vellmar
