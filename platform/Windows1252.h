#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Vellmar::Platform {

// The code page of REGEDIT4 exports and other legacy Windows text. The five bytes the code page
// leaves undefined map to the C1 controls of the same value, so that any byte string decodes
// and encodes back to exactly the same bytes.
std::wstring Windows1252ToWide(std::string_view bytes);
// Nothing when a character has no windows-1252 byte.
std::optional<std::string> WideToWindows1252(std::wstring_view text);

} // namespace Vellmar::Platform
