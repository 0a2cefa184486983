#include "engine/EngineText.h"

#include "config/StringTable.h"
#include "ltf/xml/XmlNode.h"
#include "platform/Environment.h"
#include "support/LtfException.h"
#include "support/Path.h"
#include "support/Text.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cwctype>
#include <memory>

namespace EngineText {

namespace {

std::wstring CurrentDirectory() {
    std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    return cwd ? Vellmar::Utf8ToWide(cwd.get()) : std::wstring(L"/");
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring Trim(const std::wstring& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

std::wstring LookedUp(const StringTable& strings, const LTF::Xml::XmlNode& node,
                      const std::wstring& attribute) {
    return strings.LookUp(node.GetAttribute(attribute));
}

std::wstring ExpandedWithEnvironment(const StringTable& strings, const std::wstring& text) {
    return Vellmar::Platform::Environment::ExpandPercentVariables(strings.Expand(text));
}

std::wstring FullPath(const std::wstring& path) {
    if (path.empty())
        return {};
    const bool absolute = path.front() == L'/' || path.front() == L'\\';
    const std::wstring joined = absolute ? path : CurrentDirectory() + L"/" + path;
    return Trim(Vellmar::Canonicalize(joined));
}

int LeadingDecimal(std::wstring_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - L'0'), INT_MAX + 1LL);
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int StrictDecimal(const std::wstring& text) {
    const std::size_t first = (!text.empty() && (text[0] == L'-' || text[0] == L'+')) ? 1 : 0;
    const bool negative = first == 1 && text[0] == L'-';
    long long value = 0;
    bool valid = first < text.size();
    for (std::size_t i = first; valid && i < text.size(); ++i) {
        valid = text[i] >= L'0' && text[i] <= L'9';
        value = value * 10 + (text[i] - L'0');
        valid = valid && value <= INT_MAX + 1LL;
    }
    if (valid)
        value = negative ? -value : value;
    if (!valid || value > INT_MAX)
        throw TypeConversionErrorException(L"Not a decimal integer: " + text);
    return static_cast<int>(value);
}

bool AllSet(const std::wstring& a, const std::wstring& b, const std::wstring& c) {
    return !a.empty() && !b.empty() && !c.empty();
}

} // namespace EngineText
