#include "update/UnrarLibrary.h"

namespace Vellmar {

UnrarLibrary::UnrarLibrary(const std::wstring& path) : DynamicLibrary(path) {
    bind(RAROpenArchive, "RAROpenArchive");
    bind(RAROpenArchiveEx, "RAROpenArchiveEx");
    bind(RARCloseArchive, "RARCloseArchive");
    bind(RARReadHeader, "RARReadHeader");
    bind(RARReadHeaderEx, "RARReadHeaderEx");
    bind(RARProcessFile, "RARProcessFile");
    bind(RARProcessFileW, "RARProcessFileW");
    bind(RARSetCallback, "RARSetCallback");
    bind(RARSetChangeVolProc, "RARSetChangeVolProc");
    bind(RARSetProcessDataProc, "RARSetProcessDataProc");
    bind(RARSetPassword, "RARSetPassword");
    bind(RARGetDllVersion, "RARGetDllVersion");
}

} // namespace Vellmar
