#include "config/StringTable.h"

#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlParser.h"
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

const std::wstring kEmbedded = LR"(<languagetable>
  <strings language="en">
    <string name="error_title"><![CDATA[Error:]]></string>
    <string name="only_en">english</string>
    <string name="empty_fr">english too</string>
  </strings>
  <strings language="fr">
    <string name="error_title">Erreur :</string>
    <string name="empty_fr"></string>
  </strings>
  <strings language="de"><string name="error_title">Fehler:</string></strings>
</languagetable>)";

const std::wstring kConfiguration = LR"(<languagetable>
  <strings><string name="EXE_DIR">D</string><string name="GAME">${EXE_DIR}\game</string>
    <string name="AMP">a&amp;b</string><string name="LANG_TEXT">en text</string>
    <string>no name</string><string name="only_en">overridden</string></strings>
  <strings language="de"><string name="error_title">Konfiguration</string>
    <string name="LANG_TEXT">de text</string></strings>
  <Strings language="it"><string name="error_title">ignored</string></Strings>
</languagetable>)";

class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.LoadFromString(kEmbedded);
        std::unique_ptr<LTF::Xml::XmlParser> parser(LTF::Xml::CreateXmlParser(0));
        parser->ParseString(kConfiguration);
        table.Load(parser->GetDocument()->GetDocumentElement());
    }
    StringTable table;
};

} // namespace

TEST_F(StringTableTest, LookUpFallsBackToEnglishKeyByKey) {
    struct Case {
        const wchar_t *language, *key, *expected;
    } cases[] = {
        {L"en", L"error_title", L"Error:"},
        {L"fr", L"error_title", L"Erreur :"},
        {L"fr", L"only_en", L"overridden"},
        {L"fr", L"empty_fr", L"english too"},
        {L"de", L"error_title", L"Konfiguration"}, // the configuration overrides
        {L"it", L"error_title", L"Error:"},        // element names compare exactly
        {L"jp", L"error_title", L"Error:"},
        {L"", L"error_title", L"Error:"},
        {L"fr", L"missing", L""},
        {L"en", L"", L"no name"},
    };
    for (const Case& c : cases) {
        table.SetLanguage(c.language);
        EXPECT_EQ(table.LookUp(c.key), c.expected) << c.language << L"/" << c.key;
    }
}

TEST_F(StringTableTest, SelectedLanguageVariableFollowsTheLanguage) {
    EXPECT_EQ(table.LookUp(L"SELECTED_LANGUAGE"), L"en");
    table.SetLanguage(L"de");
    EXPECT_EQ(table.Expand(L"${SELECTED_LANGUAGE}: ${LANG_TEXT}"), L"de: de text");
    table.SetLanguage(L"");
    EXPECT_EQ(table.GetSelectedLanguage(), L"en");
    EXPECT_EQ(table.Expand(L"${SELECTED_LANGUAGE}: ${LANG_TEXT}"), L"en: en text");
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
    struct Case {
        const wchar_t *text, *expected, *expectedForXml;
    } cases[] = {
        {L"${EXE_DIR}\\setup.exe", L"D\\setup.exe", L"D\\setup.exe"},
        {L"a${NOT_THERE}b", L"ab", L"ab"},
        {L"run ${GAME}.exe", L"run D\\game.exe", L"run D\\game.exe"},
        {L"x${EXE_DIR", L"x${EXE_DIR", L"x${EXE_DIR"},
        {L"${EXE_DIR}${", L"D${", L"D${"},
        {L"${}${EXE_DIR}}", L"${}D}", L"${}D}"},
        {L"[${AMP}] & ${AMP}", L"[a&b] & a&b", L"[a&amp;b] & a&amp;b"},
        {L"${${EXE_DIR}}", L"}", L"}"}, // the name runs to the first "}"
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table.Expand(c.text), c.expected) << c.text;
        EXPECT_EQ(table.ExpandForXml(c.text), c.expectedForXml) << c.text;
    }
}

TEST(StringTableBounds, RecursiveAndHugeExpansionsEnd) {
    const std::wstring big(200000, L'x');
    StringTable table;
    table.LoadFromString(L"<strings><string name=\"SELF\">x${SELF}</string>"
                         L"<string name=\"A\">a${B}</string><string name=\"B\">b${A}</string>"
                         L"<string name=\"TWICE\">${TWICE}${TWICE}</string>"
                         L"<string name=\"BIG\">" +
                         big +
                         L"</string>"
                         L"<string name=\"MANY\">" +
                         std::wstring(1000, L'.') +
                         L"${BIG}${BIG}${BIG}${BIG}${BIG}${BIG}${BIG}${BIG}</string></strings>");
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
