#include "config/StringTable.h"
#include "config/LanguageSelection.h"
#include "platform/ShellFolders.h"
#include "res/EmbeddedResources.h"
#include "support/Text.h"
#include "tests/support/ScopedEnv.h"
#include "tests/xml/XmlTestSupport.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <thread>

using namespace LTF::Xml;

namespace {

const std::wstring kEmbedded = LR"(<languagetable><strings language="en">
    <string name="error_title"><![CDATA[Error:]]></string><string name="only_en">english</string>
    <string name="empty_fr">english too</string></strings><strings language="fr">
    <string name="error_title">Erreur :</string><string name="empty_fr"></string></strings>
  <strings language="de"><string name="error_title">Fehler:</string></strings></languagetable>)";

const std::wstring kConfiguration = LR"(<languagetable><strings><string name="EXE_DIR">D</string>
    <string name="GAME">${EXE_DIR}\game</string><string name="AMP">a&amp;b</string>
    <string name="LANG_TEXT">en text</string><string>no name</string><string
    name="only_en">overridden</string></strings><strings language="de"><string
    name="error_title">Konfiguration</string><string name="LANG_TEXT">de text</string></strings>
  <Strings language="it"><string name="error_title">ignored</string></Strings></languagetable>)";

class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.LoadFromString(kEmbedded);
        table.Load(XmlTest::Root(*XmlTest::Parse(kConfiguration)));
    }
    StringTable table;
};

using Texts = std::map<std::wstring, std::map<std::wstring, std::wstring>>;

std::wstring EmbeddedText() {
    const std::wstring text = Vellmar::Utf8ToWide(Vellmar::Resources::EmbeddedMessagesXml());
    return text.substr(text.find(L'<'));
}

// language -> key -> text, read straight from the document's shape.
Texts ReadTexts() {
    const auto parser = XmlTest::Parse(EmbeddedText());
    XmlNode* table = XmlTest::Root(*parser)->SelectNode(L"application/languagetable");
    EXPECT_NE(table, nullptr);
    Texts texts;
    for (int i = 0; table && i < table->GetChildNodes()->GetLength(); ++i) {
        XmlNode* strings = table->GetChildNodes()->GetItem(i);
        EXPECT_EQ(strings->GetName(), L"strings");
        auto& language = texts[strings->GetAttribute(L"language")];
        for (int j = 0; j < strings->GetChildNodes()->GetLength(); ++j) {
            XmlNode* string = strings->GetChildNodes()->GetItem(j);
            language[string->GetAttribute(L"name")] = string->GetText();
        }
    }
    return texts;
}

std::vector<std::wstring> Placeholders(const std::wstring& text) {
    static const std::wregex pattern(L"%ls|%i|%[a-z]+");
    std::vector<std::wstring> found;
    for (std::wsregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.push_back(it->str());
    return found;
}

std::string TalkTableHeader(std::uint32_t number) {
    std::string bytes = "TLK V3.0";
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes + std::string(8, '\0');
}

} // namespace

TEST_F(StringTableTest, LookUpFallsBackToEnglishKeyByKeyAndSelectedLanguageFollows) {
    EXPECT_EQ(table.LookUp(L"SELECTED_LANGUAGE"), L"en");
    table.SetLanguage(L"de");
    EXPECT_EQ(table.Expand(L"${SELECTED_LANGUAGE}: ${LANG_TEXT}"), L"de: de text");
    table.SetLanguage(L"");
    EXPECT_EQ(table.GetSelectedLanguage(), L"en");
    EXPECT_EQ(table.Expand(L"${SELECTED_LANGUAGE}: ${LANG_TEXT}"), L"en: en text");

    // language, key: text
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"en", L"error_title", L"Error:"},
        {L"fr", L"error_title", L"Erreur :"},
        {L"fr", L"only_en", L"overridden"},
        {L"fr", L"empty_fr", L"english too"},
        {L"de", L"error_title", L"Konfiguration"}, // the configuration overrides
        {L"it", L"error_title", L"Error:"},        // element names compare exactly
        {L"fr", L"missing", L""},
        {L"en", L"", L"no name"},
    };
    for (const auto& [language, key, expected] : cases) {
        table.SetLanguage(language);
        EXPECT_EQ(table.LookUp(key), expected) << language << L"/" << key;
    }
}

TEST_F(StringTableTest, VariablesGoToTheirTablesOnlyWhenTheyExist) {
    table.SetLanguage(L"de");
    table.SetVariable(L"V", L"selected");
    table.SetBuiltInVariable(L"B", L"built-in");
    EXPECT_EQ(table.Expand(L"${V} ${B}"), L"selected built-in");
    table.SetLanguage(L"fr");
    EXPECT_EQ(table.LookUp(L"V"), L"");
    table.SetLanguage(L"kr"); // no table: nothing is written
    table.SetVariable(L"K", L"x");
    table.SetLanguage(L"en");
    EXPECT_EQ(table.LookUp(L"K"), L"");

    table.AddShellFolders();
    EXPECT_EQ(table.Expand(L"${CSIDL_PROFILE}|${CSIDL_WINDOWS}"),
              Vellmar::Platform::ShellFolders::Path(40) + L"|");
    EXPECT_FALSE(table.LookUp(L"CSIDL_PROFILE").empty());

    table.Clear();
    EXPECT_EQ(table.GetSelectedLanguage(), L"en");
    table.AddShellFolders();
    EXPECT_EQ(table.LookUp(L"CSIDL_PROFILE"), L"");
    table.SetBuiltInVariable(L"B", L"again"); // no default table after Clear
    EXPECT_EQ(table.LookUp(L"B"), L"");
    table.Load(nullptr);
}

TEST_F(StringTableTest, ExpandReplacesReferences) {
    // text: expanded, expanded for XML
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"a${NOT_THERE}b", L"ab", L"ab"},
        {L"run ${GAME}.exe", L"run D\\game.exe", L"run D\\game.exe"},
        {L"x${EXE_DIR", L"x${EXE_DIR", L"x${EXE_DIR"},
        {L"${EXE_DIR}${", L"D${", L"D${"},
        {L"${}${EXE_DIR}}", L"${}D}", L"${}D}"},
        {L"[${AMP}] & ${AMP}", L"[a&b] & a&b", L"[a&amp;b] & a&amp;b"},
        {L"${${EXE_DIR}}", L"}", L"}"}, // the name runs to the first "}"
    };
    for (const auto& [text, expected, expectedForXml] : cases) {
        EXPECT_EQ(table.Expand(text), expected) << text;
        EXPECT_EQ(table.ExpandForXml(text), expectedForXml) << text;
    }
}

TEST(StringTableBounds, RecursiveAndHugeExpansionsEnd) {
    StringTable table;
    std::wstring xml = L"<strings><string name='SELF'>x${SELF}</string><string name='A'>a${B}"
                       L"</string><string name='B'>b${A}</string><string name='TWICE'>${TWICE}"
                       L"${TWICE}</string><string name='MANY'>" +
                       std::wstring(1000, L'.');
    for (int i = 0; i < 8; ++i)
        xml += L"${BIG}";
    table.LoadFromString(xml + L"</string><string name='BIG'>" + std::wstring(200000, L'x') +
                         L"</string></strings>");
    const auto start = std::chrono::steady_clock::now();
    const std::wstring self = table.LookUp(L"SELF");
    EXPECT_EQ(self, std::wstring(StringTable::kMaxLookUpDepth, L'x') + L"${SELF}");
    const std::wstring mutual = table.Expand(L"${A}");
    EXPECT_NE(mutual.find(L"${"), std::wstring::npos);
    EXPECT_EQ(mutual.substr(0, 4), L"abab");
    EXPECT_EQ(table.Expand(L"${TWICE}").size(), 8u << StringTable::kMaxLookUpDepth);
    std::wstring repeated;
    for (int i = 0; i < 100; ++i)
        repeated += L"${MANY}";
    const std::wstring huge = table.Expand(repeated);
    EXPECT_LE(huge.size(), repeated.size() + StringTable::kMaxInsertedChars);
    EXPECT_NE(huge.find(L"${MANY}"), std::wstring::npos); // the rest stays as written
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(StringTableBounds, ReadersRunWhileTheInterfaceWrites) {
    StringTable table;
    table.LoadFromString(L"<strings><string name=\"URL\">http://h/${SELECTED_LANGUAGE}</string>"
                         L"</strings>");
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 3; ++i)
        readers.emplace_back([&] {
            while (!stop) {
                const std::wstring url = table.LookUp(L"URL");
                bad += url != L"http://h/en" && url != L"http://h/de";
            }
        });
    for (int i = 0; i < 2000; ++i) {
        table.SetLanguage(i % 2 ? L"de" : L"en");
        table.SetBuiltInVariable(L"V" + std::to_wstring(i % 50), L"value");
    }
    stop = true;
    for (auto& reader : readers)
        reader.join();
    EXPECT_EQ(bad, 0);
}

TEST(EmbeddedMessages, EveryLanguageHasEveryKeyWithTheEnglishPlaceholders) {
    const Texts texts = ReadTexts();
    const std::set<std::wstring> languages = {L"en", L"fr", L"de", L"it", L"es",
                                              L"cz", L"hu", L"pl", L"ru", L"cn"};
    ASSERT_EQ(texts.size(), languages.size());
    const auto& english = texts.at(L"en");
    ASSERT_EQ(english.at(L"error_title"), L"Error:");
    ASSERT_EQ(english.at(L"error_parseerror"),
              L"Error: %ls\nLine: %i, %i\nFile: %ls\n\nIf you are not the developer, you may "
              L"need to re-install.");
    EXPECT_EQ(english.at(L"error_xmldata"), L"There is an issue with the following XML:\n%ls");
    EXPECT_EQ(texts.at(L"de").at(L"error_title"), L"Fehler:");
    for (const std::wstring& language : languages) {
        ASSERT_TRUE(texts.count(language)) << language;
        const auto& own = texts.at(language);
        const bool withXmlData = language == L"en" || language == L"cn";
        EXPECT_EQ(own.size(), withXmlData ? 5u : 4u) << language;
        for (const auto& [key, text] : own) {
            ASSERT_TRUE(english.count(key)) << language << L"/" << key;
            EXPECT_FALSE(text.empty()) << language << L"/" << key;
            EXPECT_EQ(Placeholders(text), Placeholders(english.at(key))) << language << L"/" << key;
        }
    }
}

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
    // file name, contents, folder asked for: language
    const std::tuple<const char*, std::string, std::wstring, const wchar_t*> cases[] = {
        {"dialog.tlk", TalkTableHeader(129), folder, L"cht"},
        {"dialog.tlk", TalkTableHeader(2), folder + L"\\", L"de"},
        {"DIALOG.TLK", TalkTableHeader(132), folder + L"/", L"ru"},
        {"dialog.tlk", TalkTableHeader(130).substr(0, 10), folder, L""},
        {"dialog.tlk", TalkTableHeader(1).substr(0, 12), folder, L"fr"},
    };
    for (const auto& [fileName, bytes, asked, expected] : cases) {
        std::filesystem::remove(dir / "dialog.tlk");
        std::filesystem::remove(dir / "DIALOG.TLK");
        dir.Write(fileName, bytes);
        EXPECT_EQ(StringTable::GameLanguage(asked), expected) << fileName << " " << bytes.size();
    }
}

TEST(LanguageSelection, LocaleNames) {
    const std::pair<const wchar_t*, std::vector<const char*>> cases[] = {
        {L"cht", {"zh_TW.UTF-8", "zh_HK", "zh_MO.UTF-8@x", "zh_Hant"}},
        {L"cn", {"zh_CN.UTF-8", "zh", "zh_CN.TWX"}},
        {L"en", {"C", "POSIX", "", "/etc/x"}},
        {L"de", {"de_DE.UTF-8"}},
        {L"fr", {"FR_fr"}},
        {L"sr", {"sr@latin"}}};
    for (const auto& [code, locales] : cases)
        for (const char* locale : locales)
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
