// Input: lines "name=value" define variables (a line "@code" switches the language for the
// definitions after it) up to the first empty line; the rest is the text to expand.
#include "config/StringTable.h"
#include "support/Text.h"

#include <cstdint>
#include <sstream>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

void Define(StringTable& table, const std::wstring& definitions) {
    table.SetLanguage(L"en");
    std::wistringstream lines(definitions);
    for (std::wstring line; std::getline(lines, line);) {
        const std::size_t equals = line.find(L'=');
        if (!line.empty() && line[0] == L'@')
            table.SetLanguage(line.substr(1));
        else if (equals != std::wstring::npos)
            table.SetVariable(line.substr(0, equals), line.substr(equals + 1));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring input =
        Vellmar::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::size_t split = input.find(L"\n\n");
    const std::wstring definitions = input.substr(0, split);
    const std::wstring text = split == std::wstring::npos ? input : input.substr(split + 2);

    StringTable table;
    // Tables exist only once a strings element has been read.
    table.LoadFromString(L"<languagetable><strings/><strings language=\"fr\"/></languagetable>");
    Define(table, definitions);

    const std::wstring plain = table.Expand(text);
    const std::wstring forXml = table.ExpandForXml(text);
    Check(plain.size() <= text.size() + StringTable::kMaxInsertedChars);
    Check(forXml.size() <= text.size() + StringTable::kMaxInsertedChars);
    if (text.find(L"${") == std::wstring::npos)
        Check(plain == text && forXml == text);
    if (text.find(L'&') == std::wstring::npos && forXml.find(L'&') == std::wstring::npos)
        Check(plain == forXml);
    table.LookUp(text);
    return 0;
}
