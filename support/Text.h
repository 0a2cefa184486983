#pragma once

#include <string>
#include <string_view>

namespace Vellmar {

// The one place where text crosses between the wide strings used inside and UTF-8 outside.
// Invalid UTF-8 bytes become U+FFFD; lone surrogates and out-of-range code points become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// Lower-casing of configuration names (actions, conditions, element names): ASCII and Latin-1
// letters, independent of the process locale.
std::wstring ToLower(std::wstring_view text);
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);

} // namespace Vellmar
