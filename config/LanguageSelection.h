#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Which language the launcher starts in: a game's dialog.tlk names it, else the user's locale.
namespace LanguageSelection {

// The code for a talk-table language number ("en" for 0, "cht" for 129, ...); empty if unknown.
std::wstring FromTalkTableNumber(std::uint32_t number);

// The language of `directory`/dialog.tlk (the executable's folder when none is given): the
// little-endian number in bytes 8 to 11. Empty when the file is missing or short.
std::wstring GameLanguage(const std::optional<std::wstring>& directory = std::nullopt);

// A POSIX locale name ("de_DE.UTF-8", "zh_TW", "C") as a language code: Chinese is "cht" for
// Taiwan, Hong Kong, Macau and the Traditional script and "cn" otherwise; other languages give
// their lower-case ISO 639 part; "C", "POSIX", empty or malformed names give "en".
std::wstring FromLocaleName(std::string_view locale);

// GameLanguage of the executable's folder, else the locale named by LC_ALL, LC_MESSAGES or
// LANG (the first one set and not empty).
std::wstring SystemLanguage();

} // namespace LanguageSelection
