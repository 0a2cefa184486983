#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Vellmar::Unrar {

// Splits an archive entry name into path components. Names that could reach outside the
// destination folder (absolute, drive-prefixed, any ".." component, with either separator)
// give nothing.
std::optional<std::vector<std::string>> SplitEntryPath(std::string_view name);

} // namespace Vellmar::Unrar
