#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace Vellmar::Platform {

// Whole-file reads and crash-safe replacement: a reader sees the old or the new content, never
// half of either.
class AtomicFile {
public:
    // The file's bytes, or nothing when it does not exist. Other failures throw.
    static std::optional<std::string> Read(const std::string& path);

    // Writes a temporary file beside `path`, fsyncs it and renames it over `path`;
    // after a crash the old or the new content is there (the folder is not synced: losing the
    // rename itself only means keeping the old content). An existing
    // file keeps its permission bits; a new one gets `newFileMode` (less the umask).
    static void Replace(const std::string& path, std::string_view bytes, mode_t newFileMode = 0666);

    // Removes this user's temporaries that a killed Replace of `path` left beside it. Only for
    // a caller that holds the lock every writer of `path` takes: then no temporary is in use.
    static void RemoveStaleTemporaries(const std::string& path);
};

} // namespace Vellmar::Platform
