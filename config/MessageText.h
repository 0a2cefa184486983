#pragma once

#include <string>
#include <variant>
#include <vector>

namespace Vellmar {

using MessageArgument = std::variant<std::wstring, int>;

// Fills "%ls" and "%i" placeholders of a (translatable, hence untrusted) message text in order.
// No printf-family call ever sees the text: a stray "%n" or "%s" stays literal, a placeholder
// without an argument becomes empty, and a text argument in an "%i" slot is written as text.
std::wstring FormatMessageText(const std::wstring& pattern,
                               const std::vector<MessageArgument>& arguments);

} // namespace Vellmar
