#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Vellmar::Platform {

// Splits the argument part of a Windows command line (everything after the program name) the
// way Windows programs receive it: space or tab separate; a quote toggles quoting; 2n
// backslashes before a quote give n backslashes and a special quote, 2n+1 give n backslashes
// and a literal quote; other backslashes are literal; inside quotes "" is a literal quote that
// also ends the quoted part; "" alone is an empty argument.
std::vector<std::wstring> SplitCommandLine(std::wstring_view arguments);

// The inverse: one text that SplitCommandLine turns back into exactly `argv`.
std::wstring JoinCommandLine(const std::vector<std::wstring>& argv);

} // namespace Vellmar::Platform
