// A scripted RAR library: the archive name "<message>,<P2>" makes RARReadHeaderEx send that
// callback message and report the answer as the item's file name.
#include "platform/unrar/unrar.h"

#include <cstdio>
#include <cstring>

namespace {

struct FakeArchive {
    char name[256] = {};
    UNRARCALLBACK callback = nullptr;
    LPARAM userData = 0;
};

FakeArchive theArchive;

} // namespace

extern "C" {

HANDLE RAROpenArchive(RAROpenArchiveData*) {
    return nullptr;
}

HANDLE RAROpenArchiveEx(RAROpenArchiveDataEx* data) {
    std::snprintf(theArchive.name, sizeof theArchive.name, "%s", data->ArcName);
    data->OpenResult = ERAR_SUCCESS;
    return &theArchive;
}

int RARCloseArchive(HANDLE) {
    return ERAR_SUCCESS;
}

int RARReadHeader(HANDLE, RARHeaderData*) {
    return ERAR_END_ARCHIVE;
}

int RARReadHeaderEx(HANDLE handle, RARHeaderDataEx* header) {
    auto* archive = static_cast<FakeArchive*>(handle);
    unsigned message = 0;
    long p2 = 0;
    if (std::sscanf(archive->name, "%u,%ld", &message, &p2) != 2)
        return ERAR_END_ARCHIVE;
    char volume[1024] = "fake.part2.rar";
    const int answer =
        archive->callback(message, archive->userData, reinterpret_cast<LPARAM>(volume), p2);
    std::snprintf(header->FileName, sizeof header->FileName, "%d", answer);
    return answer == -1 ? ERAR_UNKNOWN : ERAR_SUCCESS;
}

int RARProcessFile(HANDLE, int, char*, char*) {
    return ERAR_SUCCESS;
}
int RARProcessFileW(HANDLE, int, wchar_t*, wchar_t*) {
    return ERAR_SUCCESS;
}

void RARSetCallback(HANDLE handle, UNRARCALLBACK callback, LPARAM userData) {
    static_cast<FakeArchive*>(handle)->callback = callback;
    static_cast<FakeArchive*>(handle)->userData = userData;
}

void RARSetChangeVolProc(HANDLE, CHANGEVOLPROC) {}
void RARSetProcessDataProc(HANDLE, PROCESSDATAPROC) {}
void RARSetPassword(HANDLE, char*) {}

#ifndef FAKE_UNRAR_WITHOUT_VERSION
int RARGetDllVersion() {
    return RAR_DLL_VERSION;
}
#endif
}
