#pragma once

#include <cstdint>

namespace Vellmar::Unrar {

// Caps on what one opened archive may produce, read when the archive is opened:
// VELLMAR_UNRAR_MAX_TOTAL_SIZE (bytes written, default 1 GiB) and VELLMAR_UNRAR_MAX_ENTRIES
// (headers read, default 100,000). Unset or unreadable values keep the defaults.
struct ExtractLimits {
    std::uint64_t maxTotalSize = std::uint64_t{1} << 30;
    std::uint64_t maxEntries = 100000;

    static ExtractLimits FromEnvironment();
};

} // namespace Vellmar::Unrar
