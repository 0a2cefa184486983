#include "config/LanguageSelection.h"
#include "config/StringTable.h"

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string TalkTableHeader(std::uint32_t number) {
    std::string bytes = "TLK V3.0";
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes + std::string(8, '\0');
}

} // namespace

TEST(LanguageSelection, TalkTableNumbers) {
    const std::pair<std::uint32_t, const wchar_t*> cases[] = {
        {0, L"en"},   {1, L"fr"},   {2, L"de"},         {3, L"it"},        {4, L"es"},
        {5, L"pl"},   {6, L"cz"},   {7, L"hu"},         {128, L"kr"},      {129, L"cht"},
        {130, L"cn"}, {131, L"jp"}, {132, L"ru"},       {8, L""},          {42, L""},
        {127, L""},   {133, L""},   {0x80000000u, L""}, {0xFFFFFFFFu, L""}};
    for (const auto& [number, code] : cases)
        EXPECT_EQ(LanguageSelection::FromTalkTableNumber(number), code) << number;
}

TEST(LanguageSelection, GameLanguageReadsDialogTlk) {
    Vellmar::Testing::TempDir dir;
    const std::wstring folder = dir.Wide();
    struct Case {
        const char* fileName;
        std::string bytes;
        std::wstring folder;
        const wchar_t* expected;
    } cases[] = {
        {"dialog.tlk", TalkTableHeader(129), folder, L"cht"},
        {"dialog.tlk", TalkTableHeader(2), folder + L"\\", L"de"},
        {"DIALOG.TLK", TalkTableHeader(132), folder + L"/", L"ru"},
        {"dialog.tlk", TalkTableHeader(42), folder, L""},
        {"dialog.tlk", TalkTableHeader(130).substr(0, 10), folder, L""},
        {"dialog.tlk", TalkTableHeader(1).substr(0, 12), folder, L"fr"},
        {"other.tlk", TalkTableHeader(1), folder, L""},
    };
    for (const Case& c : cases) {
        fs::remove(dir / "dialog.tlk");
        fs::remove(dir / "DIALOG.TLK");
        dir.Write(c.fileName, c.bytes);
        EXPECT_EQ(StringTable::GameLanguage(c.folder), c.expected)
            << c.fileName << " " << c.bytes.size();
    }
}

TEST(LanguageSelection, LocaleNames) {
    const std::pair<const char*, const wchar_t*> cases[] = {{"zh_TW.UTF-8", L"cht"},
                                                            {"zh_HK", L"cht"},
                                                            {"zh_MO.UTF-8@x", L"cht"},
                                                            {"zh_Hant", L"cht"},
                                                            {"zh_CN.UTF-8", L"cn"},
                                                            {"zh", L"cn"},
                                                            {"zh_CN.TWX", L"cn"},
                                                            {"de_DE.UTF-8", L"de"},
                                                            {"FR_fr", L"fr"},
                                                            {"ja_JP.eucJP", L"ja"},
                                                            {"C", L"en"},
                                                            {"POSIX", L"en"},
                                                            {"", L"en"},
                                                            {"/etc/x", L"en"},
                                                            {"sr@latin", L"sr"}};
    for (const auto& [locale, code] : cases)
        EXPECT_EQ(LanguageSelection::FromLocaleName(locale), code) << locale;
}

TEST(LanguageSelection, SystemLanguageTakesTheFirstLocaleVariableSet) {
    // The test program has no dialog.tlk beside it, so the locale decides.
    using Vellmar::Testing::ScopedEnv;
    ScopedEnv all("LC_ALL", ""), messages("LC_MESSAGES", "zh_TW.UTF-8"), lang("LANG", "de_DE");
    EXPECT_EQ(StringTable::SystemLanguage(), L"cht");
    ScopedEnv noMessages("LC_MESSAGES", nullptr);
    EXPECT_EQ(StringTable::SystemLanguage(), L"de");
    ScopedEnv allSet("LC_ALL", "it_IT");
    EXPECT_EQ(StringTable::SystemLanguage(), L"it");
}
