#include "config/StringTable.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "ltf/xml/XmlParser.h"
#include "res/EmbeddedResources.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <set>

using namespace LTF::Xml;

namespace {

using Texts = std::map<std::wstring, std::map<std::wstring, std::wstring>>;

std::wstring EmbeddedText() {
    const std::wstring text = Vellmar::Utf8ToWide(Vellmar::Resources::EmbeddedMessagesXml());
    return text.substr(text.find(L'<'));
}

// language -> key -> text, read straight from the document's shape.
Texts ReadTexts() {
    std::unique_ptr<XmlParser> parser(CreateXmlParser(0));
    parser->ParseString(EmbeddedText());
    XmlNode* table =
        parser->GetDocument()->GetDocumentElement()->SelectNode(L"application/languagetable");
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

} // namespace

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

TEST(EmbeddedMessages, LoadsIntoTheStringTableWithFallback) {
    std::unique_ptr<XmlParser> parser(CreateXmlParser(0));
    parser->ParseString(EmbeddedText());
    StringTable table;
    table.Load(
        parser->GetDocument()->GetDocumentElement()->SelectNode(L"application/languagetable"));
    table.SetLanguage(L"de");
    EXPECT_EQ(table.LookUp(L"error_title"), L"Fehler:");
    EXPECT_EQ(table.LookUp(L"error_xmldata"), L"There is an issue with the following XML:\n%ls");
}
