// The PE version reader on arbitrary bytes: it may find a version or none, never read outside.
#include "platform/FileVersion.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto version = Vellmar::Platform::FileVersion::FromImage({data, size});
    if (version && version->FullText().empty())
        std::abort();
    return 0;
}
