// Any bytes read as an INI file; a write reads back, and every other line stays as it was.
#include "platform/ProfileFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using Vellmar::Platform::ProfileFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)ProfileFile::Find(bytes, L"Game", L"Path");
    const auto updated = ProfileFile::Update(bytes, L"Game", L"Path", L"  \"written\"  value");
    if (!updated)
        std::abort(); // these names are always usable
    const auto found = ProfileFile::Find(*updated, L"game", L"PATH");
    if (!found || *found != L"\"written\"  value")
        std::abort();
    // Another key, another section: the first write's line must survive.
    const auto again = ProfileFile::Update(*updated, L"Other", L"K", L"v");
    if (!again || ProfileFile::Find(*again, L"Game", L"Path") != found)
        std::abort();
    return 0;
}
