#include "XmlTestSupport.h"

#include "support/LtfException.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace LTF::Xml;
using XmlTest::Attributes;
using XmlTest::Parse;
using XmlTest::Root;

TEST(XmlParser, EmptyArgumentsNameTheArgument) {
    std::unique_ptr<XmlParser> parser(CreateXmlParser(0));
    XmlTest::ExpectInvalidArgument([&] { parser->ParseFile(L""); }, "sFileName", "LibXmlParser");
    XmlTest::ExpectInvalidArgument([&] { parser->ParseString(L""); }, "sXmlString", "LibXmlParser");
    EXPECT_EQ(parser->GetDocument(), nullptr);
}

TEST(XmlParser, MalformedReportsPositionAndKeepsPreviousDocument) {
    const struct {
        std::wstring text;
        int line, column;
        const wchar_t* reasonPart;
    } cases[] = {
        {L"<a>\n<b>\n</a>", 3, 5, L"mismatch"},
        {L"<a x='1' x='2'/>", 1, 15, L"redefined"},
        {L"<a>&undefined;</a>", 1, 15, L"undefined"},
        {L"  \n\n  <a><b></a>", 3, 13, L"mismatch"},
        {L"<p:a/>", 1, 5, L"prefix"},
        {L"just text", 1, 1, L"Start tag expected"},
        {L"<a" + Attributes(L"a", 256, L" ", L"='1'") + L"\n b='1'/>", 2, 2,
         L"more than 256 attributes"},
        {L"<a" + Attributes(L"xmlns:p", 256, L" ", L"='1'") + L"\n xmlns='u'/>", 2, 2,
         L"more than 256 namespace declarations"},
        {L"<!DOCTYPE a [<!ATTLIST a" + Attributes(L"d", 257, L"\n ", L" CDATA '1'") + L">]><a/>",
         258, 16, L"more than 256 declared attributes"},
    };
    for (const auto& c : cases) {
        auto parser = Parse(L"<old><child/></old>");
        XmlDocument* before = parser->GetDocument();
        XmlNode* child = Root(*parser)->GetChildNode(L"child", 0);
        try {
            parser->ParseString(c.text);
            ADD_FAILURE() << "no exception for " << c.reasonPart;
        } catch (const XmlParseErrorException& e) {
            EXPECT_EQ(e.source(), c.text);
            EXPECT_EQ(std::make_pair(e.line(), e.column()), std::make_pair(c.line, c.column))
                << c.reasonPart;
            EXPECT_NE(e.reason().find(c.reasonPart), std::wstring::npos) << e.reason();
            EXPECT_NE(e.reason().back(), L'\n');
            EXPECT_STREQ(e.what(), "Xml Error");
        }
        ASSERT_EQ(parser->GetDocument(), before);
        EXPECT_EQ(Root(*parser)->GetChildNode(L"CHILD", 0), child);
        EXPECT_EQ(child->GetName(), L"child");
    }
}

TEST(XmlParser, SuccessfulParseReplacesAndReleaseDropsDocument) {
    auto parser = Parse(L"<one/>");
    parser->ParseString(L"<two/>");
    EXPECT_EQ(Root(*parser)->GetName(), L"two");
    parser->ReleaseDocument();
    EXPECT_EQ(parser->GetDocument(), nullptr);
}

TEST(XmlParser, FilesAreFoundIgnoringCaseAndMissingOnesAreParseErrors) {
    Vellmar::Testing::TempDir dir;
    dir.Write("Config.XML", "<a>ok</a>");
    std::unique_ptr<XmlParser> parser(CreateXmlParser(0));
    parser->ParseFile(dir.Wide() + L"\\config.xml");
    EXPECT_EQ(Root(*parser)->GetText(), L"ok");
    const std::wstring missing = dir.Wide("none.xml");
    try {
        parser->ParseFile(missing);
        FAIL();
    } catch (const XmlParseErrorException& e) {
        EXPECT_EQ(e.source(), missing);
        EXPECT_EQ(e.line(), 0);
    }
    EXPECT_EQ(Root(*parser)->GetText(), L"ok");
}

std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

// Each file holds <a v="é">€ü</a> in its own encoding.
TEST(XmlParser, FilesDecodeByBomAndDeclaration) {
    const std::pair<const char*, std::string> files[] = {
        {"utf8", "<?xml version=\"1.0\"?><a v=\"\xC3\xA9\">\xE2\x82\xAC\xC3\xBC</a>"},
        {"utf8bom", "\xEF\xBB\xBF<a v=\"\xC3\xA9\">\xE2\x82\xAC\xC3\xBC</a>"},
        {"utf16le", Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                          u"<a v=\"\u00e9\">\u20ac\u00fc</a>",
                          false)},
        {"utf16be", Utf16(u"<a v=\"\u00e9\">\u20ac\u00fc</a>", true)},
        {"latin1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a v=\"\xE9\">&#8364;\xFC</a>"},
        {"cp1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a v=\"\xE9\">\x80\xFC</a>"},
    };
    Vellmar::Testing::TempDir dir;
    for (const auto& [name, bytes] : files) {
        std::unique_ptr<XmlParser> parser(CreateXmlParser(0));
        parser->ParseFile(Vellmar::Utf8ToWide(dir.Write("enc.xml", bytes).string()));
        EXPECT_EQ(Root(*parser)->GetAttribute(L"v"), L"\u00e9") << name;
        EXPECT_EQ(Root(*parser)->GetText(), L"\u20ac\u00fc") << name;
    }
}

TEST(XmlParser, StringIgnoresDeclaredEncoding) {
    for (const wchar_t* declaration : {L"windows-1252", L"UTF-16", L"ISO-8859-1"}) {
        auto parser = Parse(L"<?xml version=\"1.0\" encoding=\"" + std::wstring(declaration) +
                            L"\"?><a>\u00e9\u20ac\u4e2d</a>");
        EXPECT_EQ(Root(*parser)->GetText(), L"\u00e9\u20ac\u4e2d") << declaration;
    }
}

TEST(XmlParser, ParsersOnSeveralThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::vector<int> ok(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &ok] {
            for (int i = 0; i < 200; ++i) {
                auto parser = Parse(L"<r><v n=\"" + std::to_wstring(i) + L"\"/></r>");
                ok[t] += Root(*parser)->SelectNode(L"v")->GetAttribute(L"n") == std::to_wstring(i);
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(ok, std::vector<int>(4, 200));
}
