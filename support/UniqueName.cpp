#include "support/UniqueName.h"

#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <uuid/uuid.h>

#include <cerrno>
#include <stdexcept>

namespace Vellmar {

std::wstring NewUuidString() {
    uuid_t id;
    ::uuid_generate(id);
    char text[37] = {};
    ::uuid_unparse_lower(id, text);
    return Utf8ToWide(text);
}

std::wstring TryWithUniqueName(const PathOperation& operation, const std::wstring& directory,
                               const std::wstring& suffix, const NameSource& names) {
    std::wstring previous;
    for (int attemptsLeft = 3; attemptsLeft > 0;) {
        --attemptsLeft;
        const std::wstring name = names();
        if (name.empty() || name == previous)
            throw std::runtime_error("TryWithUniqueName: the unique name source is broken");
        previous = name;
        const std::wstring path = Append(directory, name + suffix);
        if (PathExists(path))
            continue;
        try {
            operation(path);
            return path;
        } catch (const std::exception&) {
            if (attemptsLeft == 0)
                throw;
        }
    }
    // Only names that were all taken get here; retrying for ever would hang.
    ThrowLastWin32Error("TryWithUniqueName failed", EEXIST, {});
}

} // namespace Vellmar
