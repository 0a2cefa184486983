#include "XmlTestSupport.h"

#include "ltf/xml/LibXmlParser.h"
#include "support/LtfException.h"
#include "support/Text.h"

#include "tests/support/LoopbackHttpServer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>

using namespace LTF::Xml;

namespace {

std::wstring Repeat(const std::wstring& part, int count) {
    std::wstring out;
    for (int i = 0; i < count; ++i)
        out += part;
    return out;
}

std::wstring BillionLaughs() {
    std::wstring text = L"<!DOCTYPE l [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i)
        text += L"<!ENTITY l" + std::to_wstring(i) + L" \"" +
                Repeat(L"&l" + std::to_wstring(i - 1) + L";", 10) + L"\">";
    return text + L"]><r>&l9;</r>";
}

// One 100 kB entity referenced 20,000 times: 2 GB of text behind a 160 kB document.
std::wstring QuadraticBlowup() {
    return L"<!DOCTYPE r [<!ENTITY e \"" + std::wstring(100000, L'x') + L"\">]><r a=\"&e;\">" +
           Repeat(L"&e;", 20000) + L"</r>";
}

std::wstring Crowded(const std::wstring& name, int count) {
    return L"<r" + XmlTest::Attributes(name, count) + L"/>";
}

long MaxRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

TEST(XmlHostile, RefusedQuicklyWithBoundedMemory) {
    Vellmar::Testing::TempDir dir;
    const auto huge = dir / "huge.xml";
    dir.Write("huge.xml", "<r>");
    std::filesystem::resize_file(huge, 200u << 20); // sparse: costs no disk
    struct Case {
        const char* name;
        std::wstring text; // empty: parse the file
    } cases[] = {
        {"billion laughs", BillionLaughs()},
        {"quadratic blowup", QuadraticBlowup()},
        {"deep nesting", Repeat(L"<a>", 10000) + Repeat(L"</a>", 10000)},
        {"over the size cap", L"<a>" + std::wstring(9u << 20, L'x') + L"</a>"},
        {"200 MB file", L""},
        {"120,000 attributes", Crowded(L"a", 120000)},
        {"200,000 namespace declarations", Crowded(L"xmlns:p", 200000)},
        {"120,000 declared attributes",
         L"<!DOCTYPE r [<!ATTLIST r" + Repeat(L" a CDATA 'x'", 120000) + L">]><r/>"},
    };
    const long rssBefore = MaxRssMegabytes();
    for (const Case& c : cases) {
        std::unique_ptr<XmlParser> parser(CreateXmlParser(0));
        const auto start = std::chrono::steady_clock::now();
        if (c.text.empty())
            EXPECT_THROW(parser->ParseFile(dir.Wide("huge.xml")), XmlParseErrorException) << c.name;
        else
            EXPECT_THROW(parser->ParseString(c.text), XmlParseErrorException) << c.name;
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, std::chrono::seconds(10)) << c.name;
        EXPECT_EQ(parser->GetDocument(), nullptr);
    }
    EXPECT_LT(MaxRssMegabytes() - rssBefore, 768) << "peak memory grew too much";
}

TEST(XmlHostile, TheAttributeBoundCountsOnlyStartTags) {
    const std::wstring many = Crowded(L"a", 300);
    struct Case {
        const char* name;
        std::string bytes;
        bool refused;
    } cases[] = {
        {"at the bound",
         Vellmar::WideToUtf8(L"<r" + XmlTest::Attributes(L"a", 256) +
                             XmlTest::Attributes(L"xmlns:p", 256) + L"/>"),
         false},
        {"in a comment", Vellmar::WideToUtf8(L"<r><!--" + many + L"--></r>"), false},
        {"in a CDATA section", Vellmar::WideToUtf8(L"<r><![CDATA[" + many + L"]]></r>"), false},
        {"in an entity value",
         Vellmar::WideToUtf8(L"<!DOCTYPE r [<!ENTITY e '" + many + L"'>]><r/>"), false},
        {"UTF-16", std::string("\xFF\xFE"), true},
    };
    for (wchar_t c : Crowded(L"a", 257))
        cases[4].bytes += static_cast<char>(c), cases[4].bytes += '\0';
    for (const Case& c : cases) {
        Implementation::LibXmlParser parser;
        if (c.refused)
            EXPECT_THROW(parser.ParseBytes(c.bytes, L"test"), XmlParseErrorException) << c.name;
        else
            EXPECT_NO_THROW(parser.ParseBytes(c.bytes, L"test")) << c.name;
    }
}

TEST(XmlHostile, ModestEntityUseStillParses) {
    auto parser =
        XmlTest::Parse(L"<!DOCTYPE r [<!ENTITY who \"world\">]><r a=\"&who;\">hello &who;</r>");
    EXPECT_EQ(XmlTest::Root(*parser)->GetText(), L"hello world");
    EXPECT_EQ(XmlTest::Root(*parser)->GetAttribute(L"a"), L"world");
    // The reference is a leaf: its children would be the DTD's own nodes.
    XmlNode* reference = XmlTest::Root(*parser)->GetChildNodes()->GetItem(1);
    EXPECT_EQ(reference->GetNodeType(), XmlNodeType::Other);
    EXPECT_EQ(reference->GetName(), L"who");
    EXPECT_EQ(reference->GetChildNodes()->GetLength(), 0);
    EXPECT_EQ(reference->GetXml(), L"&who;");
}

TEST(XmlHostile, NoExternalFileOrNetworkIsRead) {
    Vellmar::Testing::TempDir dir;
    const auto secret = dir.Write("secret.txt", "SECRET");
    dir.Write("evil.dtd", "<!ENTITY leak \"SECRET\">");
    Vellmar::Testing::LoopbackHttpServer server;
    const std::wstring http = Vellmar::Utf8ToWide(server.Url(""));
    const std::wstring file = L"file://" + Vellmar::Utf8ToWide(secret.string());
    const std::wstring dtd = L"file://" + dir.Wide("evil.dtd");

    const std::wstring documents[] = {
        L"<!DOCTYPE r [<!ENTITY e SYSTEM \"" + file + L"\">]><r>&e;</r>",
        L"<!DOCTYPE r [<!ENTITY e SYSTEM \"" + http + L"/e\">]><r>&e;</r>",
        L"<!DOCTYPE r SYSTEM \"" + dtd + L"\"><r>&leak;</r>",
        L"<!DOCTYPE r SYSTEM \"" + http + L"/d.dtd\"><r/>",
        L"<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + dtd + L"\"> %p;]><r>&leak;</r>",
        L"<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"" + file +
            L"\" parse=\"text\"/></r>",
    };
    for (const std::wstring& text : documents) {
        std::unique_ptr<XmlParser> parser(CreateXmlParser(0));
        try {
            parser->ParseString(text);
            EXPECT_EQ(XmlTest::Root(*parser)->GetText().find(L"SECRET"), std::wstring::npos);
            EXPECT_EQ(XmlTest::Root(*parser)->GetXml().find(L"SECRET"), std::wstring::npos);
        } catch (const XmlParseErrorException&) {
        }
    }
    EXPECT_TRUE(server.Requests().empty()) << "the parser connected";
}
