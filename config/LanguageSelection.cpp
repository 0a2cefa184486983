#include "config/LanguageSelection.h"

#include "support/PathResolve.h"
#include "support/Text.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace LanguageSelection {

namespace {

std::wstring ExecutableDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    // UTF-8 by our own helper: path::wstring() converts through the "C" locale and throws on
    // any non-ASCII folder name.
    return error ? std::wstring() : Vellmar::Utf8ToWide(executable.parent_path().string());
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

bool IsAsciiLetters(std::string_view text) {
    for (char c : text)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    return !text.empty();
}

bool IsTraditionalChinese(std::string_view rest) {
    const std::string lower = AsciiLower(rest);
    for (const char* marker : {"hant", "tw", "hk", "mo"}) {
        // A marker counts as a whole part of the name, between separators.
        for (std::size_t at = lower.find(marker); at != std::string::npos;
             at = lower.find(marker, at + 1)) {
            const std::size_t end = at + std::char_traits<char>::length(marker);
            const bool startsPart =
                at == 0 || std::string_view("_-.@").find(lower[at - 1]) != std::string_view::npos;
            const bool endsPart = end == lower.size() || std::string_view("_-.@").find(
                                                             lower[end]) != std::string_view::npos;
            if (startsPart && endsPart)
                return true;
        }
    }
    return false;
}

} // namespace

std::wstring FromTalkTableNumber(std::uint32_t number) {
    static const std::array<const wchar_t*, 8> western = {L"en", L"fr", L"de", L"it",
                                                          L"es", L"pl", L"cz", L"hu"};
    static const std::array<const wchar_t*, 5> eastern = {L"kr", L"cht", L"cn", L"jp", L"ru"};
    if (number < western.size())
        return western[number];
    if (number >= 128 && number - 128 < eastern.size())
        return eastern[number - 128];
    return {};
}

std::wstring GameLanguage(const std::optional<std::wstring>& directory) {
    std::wstring folder = directory ? *directory : ExecutableDirectory();
    if (folder.empty() || (folder.back() != L'/' && folder.back() != L'\\'))
        folder += L'/';
    std::ifstream file(Vellmar::NativePath(folder + L"dialog.tlk"), std::ios::binary);
    std::array<unsigned char, 12> header{};
    if (!file.read(reinterpret_cast<char*>(header.data()), header.size()))
        return {};
    const std::uint32_t number = header[8] | (header[9] << 8) | (header[10] << 16) |
                                 (static_cast<std::uint32_t>(header[11]) << 24);
    return FromTalkTableNumber(number);
}

std::wstring FromLocaleName(std::string_view locale) {
    const std::size_t end = locale.find_first_of("_-.@");
    const std::string_view language = locale.substr(0, end);
    if (!IsAsciiLetters(language) || language.size() > 3 || language == "C")
        return L"en";
    const std::string code = AsciiLower(language);
    if (code == "zh")
        return end != std::string_view::npos && IsTraditionalChinese(locale.substr(end + 1))
                   ? L"cht"
                   : L"cn";
    return Vellmar::Utf8ToWide(code);
}

std::wstring SystemLanguage() {
    if (std::wstring game = GameLanguage(); !game.empty())
        return game;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != 0)
            return FromLocaleName(value);
    }
    return L"en";
}

} // namespace LanguageSelection
