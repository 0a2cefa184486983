#include "platform/ProfileFile.h"
#include "support/Text.h"
#include "tests/platform/Scratch.h"

#include <gtest/gtest.h>

using namespace Vellmar::Platform;

namespace {

const char* const kIni = "\xEF\xBB\xBF[Game]\r\n"
                         "  Path = C:\\Games\\X  \r\n"
                         "path=second\r\n"
                         "; Name=commented\r\n"
                         "Quoted=\"  spaced  \"\r\n"
                         "Single='x'\r\n"
                         "Half=\"x\r\n"
                         "Empty=\r\n"
                         "NoEquals\r\n"
                         "[ Other ]\r\n"
                         "Key=other\r\n"
                         "[GAME]\r\n"
                         "Late=ignored\r\n";

} // namespace

TEST(ProfileFileRead, WindowsLookupRules) {
    const struct {
        const wchar_t* section;
        const wchar_t* key;
        std::optional<std::wstring> expected;
    } cases[] = {
        {L"game", L"PATH", L"C:\\Games\\X"}, // case ignored, trimmed, first match wins
        {L"Game", L"Quoted", L"  spaced  "}, {L"Game", L"Single", L"x"},
        {L"Game", L"Half", L"\"x"},          {L"Game", L"Empty", L""},
        {L"Game", L"Name", std::nullopt},    {L"Game", L"NoEquals", std::nullopt},
        {L"other", L"key", L"other"},        {L"Game", L"Key", std::nullopt},
        {L"Game", L"Late", std::nullopt}, // only the first [Game] counts
        {L"Missing", L"Path", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProfileFile::Find(kIni, c.section, c.key), c.expected)
            << Vellmar::WideToUtf8(c.section) << "/" << Vellmar::WideToUtf8(c.key);
}

TEST(ProfileFileRead, DefaultsAndBufferSize) {
    TempDir dir;
    WriteFile(dir / "Setup.INI", std::string("[A]\nLong=") + std::string(2000, 'v') + "\n");
    const ProfileFile file((dir.Wide() + L"\\setup.ini"));
    EXPECT_EQ(file.GetString(L"A", L"Long"), std::wstring(1023, L'v'));
    EXPECT_EQ(file.GetString(L"A", L"Long", L"", 5), L"vvvv");
    EXPECT_EQ(file.GetString(L"A", L"None", L"fallback"), L"fallback");
    EXPECT_EQ(ProfileFile(dir.Wide() + L"/absent.ini").GetString(L"A", L"Long", L"d"), L"d");
}

TEST(ProfileFileWrite, ChangesOnlyWhatItMust) {
    const struct {
        const char* label;
        std::string before;
        const wchar_t* section;
        const wchar_t* key;
        std::string after;
    } cases[] = {
        {"new file uses CRLF", "", L"InternetShortcut", L"URL", "[InternetShortcut]\r\nURL=v\r\n"},
        {"replace keeps key spelling and spacing", "[s]\n Key = old ; x\nk2=y\n", L"S", L"KEY",
         "[s]\n Key =v\nk2=y\n"},
        {"first duplicate replaced", "[s]\r\nk=1\r\nk=2\r\n", L"s", L"k", "[s]\r\nk=v\r\nk=2\r\n"},
        {"append after last entry, before blanks", "[a]\nx=1\n\n; note\n[b]\ny=2\n", L"a", L"new",
         "[a]\nx=1\nnew=v\n\n; note\n[b]\ny=2\n"},
        {"append to section at end without newline", "[a]\nx=1", L"a", L"k", "[a]\nx=1\nk=v\n"},
        {"new section after unterminated last line", "[a]\nx=1", L"b", L"k",
         "[a]\nx=1\n[b]\nk=v\n"},
        {"byte order mark and odd bytes kept", "\xEF\xBB\xBF[a]\n\xFF\xFEjunk\nx=1\n", L"A", L"x",
         "\xEF\xBB\xBF[a]\n\xFF\xFEjunk\nx=v\n"},
        {"second section of same name untouched", "[a]\n[a]\nk=1\n", L"a", L"k",
         "[a]\nk=v\n[a]\nk=1\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProfileFile::Update(c.before, c.section, c.key, L"v"), c.after) << c.label;
}

TEST(ProfileFileWrite, RefusesTextThatWouldBreakLines) {
    const struct {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    } cases[] = {
        {L"a]", L"k", L"v"}, {L"a\n[b", L"k", L"v"}, {L"a", L"k=x", L"v"},      {L"a", L"", L"v"},
        {L"a", L"[k", L"v"}, {L"a", L";k", L"v"},    {L"a", L"k", L"v\r\nx=1"}, {L"a", L"  ", L"v"},
    };
    TempDir dir;
    WriteFile(dir / "f.ini", "[a]\nk=1\n");
    const ProfileFile file(dir.Wide() + L"/f.ini");
    for (const auto& c : cases)
        EXPECT_FALSE(file.WriteString(c.section, c.key, c.value)) << Vellmar::WideToUtf8(c.key);
    EXPECT_EQ(ReadFile(dir / "f.ini"), "[a]\nk=1\n");
}

TEST(ProfileFileWrite, RealFilesKeepModeAndLinks) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "Links");
    const ProfileFile created(dir.Wide() + L"\\LINKS\\Site.url");
    ASSERT_TRUE(created.WriteString(L"InternetShortcut", L"URL", L"https://example.org/"));
    EXPECT_EQ(ReadFile(dir / "Links/Site.url"),
              "[InternetShortcut]\r\nURL=https://example.org/\r\n");
    EXPECT_EQ(created.GetString(L"internetshortcut", L"url"), L"https://example.org/");

    WriteFile(dir / "real.ini", "[a]\n");
    std::filesystem::permissions(dir / "real.ini", static_cast<std::filesystem::perms>(0640));
    std::filesystem::create_symlink(dir / "real.ini", dir / "link.ini");
    ASSERT_TRUE(ProfileFile(dir.Wide() + L"/link.ini").WriteString(L"a", L"k", L"1"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(ReadFile(dir / "real.ini"), "[a]\nk=1\n");
    EXPECT_EQ(std::filesystem::status(dir / "real.ini").permissions(),
              static_cast<std::filesystem::perms>(0640));

    EXPECT_FALSE(ProfileFile(dir.Wide() + L"/no/such/dir/x.ini").WriteString(L"a", L"k", L"1"));
}
