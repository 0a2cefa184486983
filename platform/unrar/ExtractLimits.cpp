#include "platform/unrar/ExtractLimits.h"

#include <cerrno>
#include <cstdlib>

namespace Vellmar::Unrar {

namespace {

void ReadLimit(const char* name, std::uint64_t& value) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text < '0' || *text > '9')
        return;
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno == 0 && *end == '\0')
        value = parsed;
}

} // namespace

ExtractLimits ExtractLimits::FromEnvironment() {
    ExtractLimits limits;
    ReadLimit("VELLMAR_UNRAR_MAX_TOTAL_SIZE", limits.maxTotalSize);
    ReadLimit("VELLMAR_UNRAR_MAX_ENTRIES", limits.maxEntries);
    return limits;
}

} // namespace Vellmar::Unrar
