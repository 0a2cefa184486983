#pragma once

#include <functional>
#include <string>

namespace Vellmar {

// A fresh UUID as 36 lower-case characters (8-4-4-4-12), or "" when none can be made.
std::wstring NewUuidString();

using PathOperation = std::function<void(const std::wstring& path)>;
using NameSource = std::function<std::wstring()>;

// Calls `operation` with unused paths `directory`/<unique name><suffix> until a call returns;
// three names in all, the last failure passes on. Returns the path used. A name source that
// repeats itself or gives "" throws std::runtime_error.
std::wstring TryWithUniqueName(const PathOperation& operation, const std::wstring& directory,
                               const std::wstring& suffix, const NameSource& names = NewUuidString);

} // namespace Vellmar
