#include "platform/Environment.h"

#include "support/Text.h"

#include <cstdlib>

namespace Vellmar::Platform {

namespace {

void ReplaceFrom(std::wstring& text, std::size_t start, std::wstring_view pattern,
                 std::wstring_view value) {
    std::wstring out = text.substr(0, start);
    for (std::size_t at; (at = text.find(pattern, start)) != std::wstring::npos;) {
        out.append(text, start, at - start);
        out += value;
        start = at + pattern.size();
        if (out.size() > Environment::kMaxLength)
            break;
    }
    out.append(text, start);
    text = std::move(out);
}

} // namespace

std::optional<std::wstring> Environment::Get(std::wstring_view name) {
    if (name.find(L'\0') != std::wstring_view::npos)
        return std::nullopt;
    const char* value = std::getenv(WideToUtf8(name).c_str());
    if (!value)
        return std::nullopt;
    return Utf8ToWide(value);
}

std::wstring Environment::ExpandPercentVariables(std::wstring_view input, Unknown unknown) {
    std::wstring text(input);
    std::size_t from = 0; // text before it holds only names kept as written
    for (int rounds = 0; rounds < kMaxRounds && text.size() <= kMaxLength;) {
        const std::size_t first = text.find(L'%', from);
        if (first == std::wstring::npos)
            break;
        const std::size_t second = text.find(L'%', first + 1);
        if (second == std::wstring::npos)
            break;
        const std::wstring name = text.substr(first + 1, second - first - 1);
        std::optional<std::wstring> value = name.empty() ? std::wstring() : Get(name);
        if (!value && unknown == Unknown::Keep) {
            from = second + 1;
            continue;
        }
        ReplaceFrom(text, from, L"%" + name + L"%", value.value_or(std::wstring()));
        ++rounds;
    }
    return text;
}

} // namespace Vellmar::Platform
