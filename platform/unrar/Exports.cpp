// The twelve exported functions. No C++ exception may cross into the caller.
#include "platform/unrar/RarSession.h"
#include "support/Text.h"

#include <cstring>
#include <new>

#define UNRAR_EXPORT extern "C" __attribute__((visibility("default")))

using Vellmar::Unrar::RarSession;

namespace {

RarSession* Session(HANDLE handle) {
    return static_cast<RarSession*>(handle);
}

template <typename Body> int Guard(Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return ERAR_NO_MEMORY;
    } catch (...) {
        return ERAR_UNKNOWN;
    }
}

template <std::size_t N> void CopyTruncated(char (&target)[N], const char* source) {
    const std::size_t count = strnlen(source, N - 1);
    std::memcpy(target, source, count);
    target[count] = '\0';
}

} // namespace

UNRAR_EXPORT HANDLE RAROpenArchiveEx(RAROpenArchiveDataEx* data) {
    if (data == nullptr)
        return nullptr;
    try {
        return RarSession::Open(*data).release();
    } catch (const std::bad_alloc&) {
        data->OpenResult = ERAR_NO_MEMORY;
    } catch (...) {
        data->OpenResult = ERAR_UNKNOWN;
    }
    return nullptr;
}

UNRAR_EXPORT HANDLE RAROpenArchive(RAROpenArchiveData* data) {
    if (data == nullptr)
        return nullptr;
    RAROpenArchiveDataEx ex{};
    ex.ArcName = data->ArcName;
    ex.OpenMode = data->OpenMode;
    HANDLE handle = RAROpenArchiveEx(&ex);
    data->OpenResult = ex.OpenResult;
    data->CmtSize = 0;
    data->CmtState = 0;
    return handle;
}

UNRAR_EXPORT int RARCloseArchive(HANDLE handle) {
    if (handle == nullptr)
        return ERAR_ECLOSE;
    delete Session(handle);
    return ERAR_SUCCESS;
}

UNRAR_EXPORT int RARReadHeaderEx(HANDLE handle, RARHeaderDataEx* header) {
    if (handle == nullptr || header == nullptr)
        return ERAR_UNKNOWN;
    return Guard([&] {
        char* comment = header->CmtBuf;
        const unsigned commentSize = header->CmtBufSize;
        std::memset(header, 0, sizeof *header);
        header->CmtBuf = comment;
        header->CmtBufSize = commentSize;
        return Session(handle)->readHeader(*header);
    });
}

UNRAR_EXPORT int RARReadHeader(HANDLE handle, RARHeaderData* header) {
    if (handle == nullptr || header == nullptr)
        return ERAR_UNKNOWN;
    return Guard([&] {
        auto ex = std::make_unique<RARHeaderDataEx>();
        const int result = Session(handle)->readHeader(*ex);
        if (result != ERAR_SUCCESS)
            return result;
        CopyTruncated(header->ArcName, ex->ArcName);
        CopyTruncated(header->FileName, ex->FileName);
        header->Flags = ex->Flags;
        header->PackSize = ex->PackSize;
        header->UnpSize = ex->UnpSize;
        header->HostOS = ex->HostOS;
        header->FileCRC = ex->FileCRC;
        header->FileTime = ex->FileTime;
        header->UnpVer = ex->UnpVer;
        header->Method = ex->Method;
        header->FileAttr = ex->FileAttr;
        header->CmtSize = 0;
        header->CmtState = 0;
        return result;
    });
}

UNRAR_EXPORT int RARProcessFile(HANDLE handle, int operation, char* destPath, char* destName) {
    if (handle == nullptr)
        return ERAR_UNKNOWN;
    return Guard([&] { return Session(handle)->process(operation, destPath, destName); });
}

UNRAR_EXPORT int RARProcessFileW(HANDLE handle, int operation, wchar_t* destPath,
                                 wchar_t* destName) {
    if (handle == nullptr)
        return ERAR_UNKNOWN;
    return Guard([&] {
        const std::string path = destPath ? Vellmar::WideToUtf8(destPath) : std::string();
        const std::string name = destName ? Vellmar::WideToUtf8(destName) : std::string();
        return Session(handle)->process(operation, destPath ? path.c_str() : nullptr,
                                        destName ? name.c_str() : nullptr);
    });
}

UNRAR_EXPORT void RARSetCallback(HANDLE handle, UNRARCALLBACK callback, LPARAM userData) {
    if (handle != nullptr)
        Session(handle)->setCallback(callback, userData);
}

UNRAR_EXPORT void RARSetChangeVolProc(HANDLE handle, CHANGEVOLPROC function) {
    if (handle != nullptr)
        Session(handle)->setChangeVolProc(function);
}

UNRAR_EXPORT void RARSetProcessDataProc(HANDLE handle, PROCESSDATAPROC function) {
    if (handle != nullptr)
        Session(handle)->setProcessDataProc(function);
}

UNRAR_EXPORT void RARSetPassword(HANDLE handle, char* password) {
    if (handle == nullptr)
        return;
    try {
        Session(handle)->setPassword(password);
    } catch (...) {
    }
}

UNRAR_EXPORT int RARGetDllVersion() {
    return RAR_DLL_VERSION;
}
