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

struct MalformedCase {
    std::wstring text;
    int line;
    int column;
    std::wstring reasonPart;
};

void PrintTo(const MalformedCase& c, std::ostream* out) {
    *out << c.line << ":" << c.column;
}

class XmlMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(XmlMalformed, ReportsPositionAndKeepsPreviousDocument) {
    auto parser = Parse(L"<old><child/></old>");
    XmlDocument* before = parser->GetDocument();
    XmlNode* child = Root(*parser)->GetChildNode(L"child", 0);
    try {
        parser->ParseString(GetParam().text);
        FAIL() << "no exception";
    } catch (const XmlParseErrorException& e) {
        EXPECT_EQ(e.source(), GetParam().text);
        EXPECT_EQ(e.line(), GetParam().line);
        EXPECT_EQ(e.column(), GetParam().column);
        EXPECT_NE(e.reason().find(GetParam().reasonPart), std::wstring::npos) << e.reason();
        EXPECT_NE(e.reason().back(), L'\n');
        EXPECT_STREQ(e.what(), "Xml Error");
    }
    ASSERT_EQ(parser->GetDocument(), before);
    EXPECT_EQ(Root(*parser)->GetChildNode(L"CHILD", 0), child);
    EXPECT_EQ(child->GetName(), L"child");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlMalformed,
    ::testing::Values(MalformedCase{L"<a>\n<b>\n</a>", 3, 5, L"mismatch"},
                      MalformedCase{L"<a x='1' x='2'/>", 1, 15, L"redefined"},
                      MalformedCase{L"<a>&undefined;</a>", 1, 15, L"undefined"},
                      MalformedCase{L"  \n\n  <a><b></a>", 3, 13, L"mismatch"},
                      MalformedCase{L"<p:a/>", 1, 5, L"prefix"},
                      MalformedCase{L"just text", 1, 1, L"Start tag expected"},
                      MalformedCase{L"<a" + Attributes(L"a", 256, L" ", L"='1'") + L"\n b='1'/>", 2,
                                    2, L"more than 256 attributes"},
                      MalformedCase{L"<a" + Attributes(L"xmlns:p", 256, L" ", L"='1'") +
                                        L"\n xmlns='u'/>",
                                    2, 2, L"more than 256 namespace declarations"},
                      MalformedCase{L"<!DOCTYPE a [<!ATTLIST a" +
                                        Attributes(L"d", 257, L"\n ", L" CDATA '1'") + L">]><a/>",
                                    258, 16, L"more than 256 declared attributes"}));

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

struct EncodingCase {
    const char* name;
    std::string bytes;
};

void PrintTo(const EncodingCase& c, std::ostream* out) {
    *out << c.name;
}

class XmlEncoding : public ::testing::TestWithParam<EncodingCase> {};

// Each file holds <a v="é">€ü</a> in its own encoding.
TEST_P(XmlEncoding, FileDecodesByBomAndDeclaration) {
    Vellmar::Testing::TempDir dir;
    std::unique_ptr<XmlParser> parser(CreateXmlParser(0));
    parser->ParseFile(Vellmar::Utf8ToWide(dir.Write("enc.xml", GetParam().bytes).string()));
    EXPECT_EQ(Root(*parser)->GetAttribute(L"v"), L"\u00e9");
    EXPECT_EQ(Root(*parser)->GetText(), L"\u20ac\u00fc");
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

INSTANTIATE_TEST_SUITE_P(
    Files, XmlEncoding,
    ::testing::Values(
        EncodingCase{"utf8", "<?xml version=\"1.0\"?><a v=\"\xC3\xA9\">\xE2\x82\xAC\xC3\xBC</a>"},
        EncodingCase{"utf8bom", "\xEF\xBB\xBF<a v=\"\xC3\xA9\">\xE2\x82\xAC\xC3\xBC</a>"},
        EncodingCase{"utf16le", Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                      u"<a v=\"\u00e9\">\u20ac\u00fc</a>",
                                      false)},
        EncodingCase{"utf16be", Utf16(u"<a v=\"\u00e9\">\u20ac\u00fc</a>", true)},
        EncodingCase{"latin1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                               "<a v=\"\xE9\">&#8364;\xFC</a>"},
        EncodingCase{"cp1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
                               "<a v=\"\xE9\">\x80\xFC</a>"}),
    [](const auto& info) { return std::string(info.param.name); });

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
