#include "config/MessageText.h"

namespace Vellmar {

namespace {

std::wstring ToText(const MessageArgument& argument) {
    if (const auto* text = std::get_if<std::wstring>(&argument))
        return *text;
    return std::to_wstring(std::get<int>(argument));
}

// Length of the placeholder at `pos` ("%ls", "%s", "%i", "%d"), or 0 when there is none.
std::size_t PlaceholderLength(const std::wstring& pattern, std::size_t pos) {
    const std::wstring_view rest = std::wstring_view(pattern).substr(pos);
    for (std::wstring_view p : {L"%ls", L"%i", L"%d"})
        if (rest.starts_with(p))
            return p.size();
    return 0;
}

} // namespace

std::wstring FormatMessageText(const std::wstring& pattern,
                               const std::vector<MessageArgument>& arguments) {
    std::wstring out;
    std::size_t next = 0;
    for (std::size_t pos = 0; pos < pattern.size();) {
        if (pattern.compare(pos, 2, L"%%") == 0) {
            out += L'%';
            pos += 2;
            continue;
        }
        if (const std::size_t length = PlaceholderLength(pattern, pos)) {
            if (next < arguments.size())
                out += ToText(arguments[next]);
            ++next;
            pos += length;
            continue;
        }
        out += pattern[pos++];
    }
    return out;
}

} // namespace Vellmar
