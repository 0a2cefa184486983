#include "config/CommandLine.h"

#include "support/Text.h"

#include <vector>

namespace Vellmar {

const wchar_t* const kUsageText =
    L" [/language <language>] [/log] [/?]\n\n/language\t\tset the display language to the two "
    L"letter language code (Example: en, fr, it, es, de, cz, pl, ru)\n/log\t\tturn logging on, log "
    L"files are stored in the Documents folder\n/?\t\tdisplays this dialog\n\nnote: there may be "
    L"additional switches that are enabled through XML conditions";

namespace {

std::vector<std::wstring> SplitOnSpaces(const std::wstring& text) {
    std::vector<std::wstring> tokens;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == L' ')
            ++pos;
        const std::size_t end = text.find(L' ', pos);
        if (pos < text.size())
            tokens.push_back(text.substr(pos, end == std::wstring::npos ? end : end - pos));
        pos = end == std::wstring::npos ? text.size() : end;
    }
    return tokens;
}

std::wstring DisplayName(const std::wstring& token) {
    const std::size_t separator = token.find_last_of(L"\\/");
    std::wstring name =
        separator != std::wstring::npos && separator != 0 ? token.substr(separator + 1) : token;
    std::erase(name, L'"');
    return name;
}

} // namespace

CommandLine CommandLine::Parse(const std::wstring& full) {
    CommandLine result;
    result.full = full;
    const std::vector<std::wstring> tokens = SplitOnSpaces(full);
    if (tokens.empty())
        return result;
    result.programToken = tokens.front();
    result.displayName = DisplayName(result.programToken);
    const std::size_t tokenEnd = full.find(result.programToken) + result.programToken.size();
    if (tokenEnd < full.size())
        result.argumentString = full.substr(tokenEnd + 1);
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        if (tokens[i] == L"/log")
            result.logging = true;
        else if (tokens[i] == L"/?") {
            result.usage = true;
            break;
        }
    }
    return result;
}

std::wstring CommandLine::Join(int argc, const char* const* argv) {
    std::wstring full;
    for (int i = 0; i < argc; ++i) {
        if (i > 0)
            full += L' ';
        full += Utf8ToWide(argv[i]);
    }
    return full;
}

} // namespace Vellmar
