#include "XmlTestSupport.h"

#include "ltf/xml/LibXmlParser.h"
#include "support/Text.h"
#include "tests/support/LoopbackHttpServer.h"

#include <gmock/gmock.h>
#include <sys/resource.h>

#include <chrono>
#include <thread>
#include <vector>

using namespace LTF::Xml;
using XmlTest::Attributes;
using XmlTest::Parse;
using XmlTest::Root;

namespace {

// BMP text only.
std::string Utf16(const std::wstring& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

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
    return L"<r" + Attributes(name, count) + L"/>";
}

long MaxRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

TEST(XmlParser, MalformedReportsPositionAndKeepsPreviousDocument) {
    // text: line, column, part of the reason
    const std::tuple<std::wstring, int, int, const wchar_t*> cases[] = {
        {L"<a>\n<b>\n</a>", 3, 5, L"mismatch"},
        {L"<a>&undefined;</a>", 1, 15, L"undefined"},
        {L"<p:a/>", 1, 5, L"prefix"},
        {L"just text", 1, 1, L"Start tag expected"},
        {L"<a" + Attributes(L"a", 256, L" ", L"='1'") + L"\n b='1'/>", 2, 2,
         L"more than 256 attributes"},
        {L"<a" + Attributes(L"xmlns:p", 256, L" ", L"='1'") + L"\n xmlns='u'/>", 2, 2,
         L"more than 256 namespace declarations"},
        {L"<!DOCTYPE a [<!ATTLIST a" + Attributes(L"d", 257, L"\n ", L" CDATA '1'") + L">]><a/>",
         258, 16, L"more than 256 declared attributes"},
    };
    for (const auto& [text, line, column, reasonPart] : cases) {
        auto parser = Parse(L"<old><child/></old>");
        XmlDocument* before = parser->GetDocument();
        XmlNode* child = Root(*parser)->GetChildNode(L"child", 0);
        try {
            parser->ParseString(text);
            ADD_FAILURE() << "no exception for " << reasonPart;
        } catch (const XmlParseErrorException& e) {
            EXPECT_EQ(e.source(), text);
            EXPECT_EQ(std::make_pair(e.line(), e.column()), std::make_pair(line, column))
                << reasonPart;
            EXPECT_NE(e.reason().find(reasonPart), std::wstring::npos) << e.reason();
            EXPECT_NE(e.reason().back(), L'\n');
            EXPECT_STREQ(e.what(), "Xml Error");
        }
        ASSERT_EQ(parser->GetDocument(), before);
        EXPECT_EQ(Root(*parser)->GetChildNode(L"CHILD", 0), child);
        EXPECT_EQ(child->GetName(), L"child");
    }
}

TEST(XmlParser, EmptyArgumentsAreNamedFilesFoundIgnoringCaseAndMissingOnesAreParseErrors) {
    Vellmar::Testing::TempDir dir;
    dir.Write("Config.XML", "<a>ok</a>");
    std::unique_ptr<XmlParser> parser(CreateXmlParser(0));
    XmlTest::ExpectInvalidArgument([&] { parser->ParseFile(L""); }, "sFileName", "LibXmlParser");
    XmlTest::ExpectInvalidArgument([&] { parser->ParseString(L""); }, "sXmlString", "LibXmlParser");
    EXPECT_EQ(parser->GetDocument(), nullptr);
    parser->ParseFile(dir.Wide() + L"\\config.xml");
    EXPECT_EQ(Root(*parser)->GetText(), L"ok");
    const std::wstring missing = dir.Wide("none.xml");
    using E = XmlParseErrorException;
    EXPECT_THAT([&] { parser->ParseFile(missing); },
                testing::Throws<E>(testing::AllOf(testing::Property(&E::source, missing),
                                                  testing::Property(&E::line, 0))));
    EXPECT_EQ(Root(*parser)->GetText(), L"ok");
}

// Each file holds <a v="é">€ü</a> in its own encoding.
TEST(XmlParser, FilesDecodeByBomAndDeclaration) {
    const std::pair<const char*, std::string> files[] = {
        {"utf8", "<?xml version=\"1.0\"?><a v=\"\xC3\xA9\">\xE2\x82\xAC\xC3\xBC</a>"},
        {"utf8bom", "\xEF\xBB\xBF<a v=\"\xC3\xA9\">\xE2\x82\xAC\xC3\xBC</a>"},
        {"utf16le", Utf16(L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                          L"<a v=\"\u00e9\">\u20ac\u00fc</a>",
                          false)},
        {"utf16be", Utf16(L"<a v=\"\u00e9\">\u20ac\u00fc</a>", true)},
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

TEST(XmlHostile, RefusedQuicklyWithBoundedMemory) {
    Vellmar::Testing::TempDir dir;
    std::filesystem::resize_file(dir.Write("huge.xml", "<r>"), 200u << 20); // sparse: no disk
    // name, text (empty: parse the file)
    const std::pair<const char*, std::wstring> cases[] = {
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
    for (const auto& [name, text] : cases) {
        std::unique_ptr<XmlParser> parser(CreateXmlParser(0));
        const auto start = std::chrono::steady_clock::now();
        if (text.empty())
            EXPECT_THROW(parser->ParseFile(dir.Wide("huge.xml")), XmlParseErrorException) << name;
        else
            EXPECT_THROW(parser->ParseString(text), XmlParseErrorException) << name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << name;
        EXPECT_EQ(parser->GetDocument(), nullptr);
    }
    EXPECT_LT(MaxRssMegabytes() - rssBefore, 768) << "peak memory grew too much";
}

TEST(XmlHostile, TheAttributeBoundCountsOnlyStartTags) {
    const std::wstring many = Crowded(L"a", 300);
    // Accepted: at the bound, and past it where there is no start tag.
    for (const std::wstring& text :
         {L"<r" + Attributes(L"a", 256) + Attributes(L"xmlns:p", 256) + L"/>",
          L"<r><!--" + many + L"--></r>", L"<r><![CDATA[" + many + L"]]></r>",
          L"<!DOCTYPE r [<!ENTITY e '" + many + L"'>]><r/>"})
        EXPECT_NO_THROW(Implementation::LibXmlParser().ParseBytes(Vellmar::WideToUtf8(text), L"t"))
            << text.substr(0, 30);
    EXPECT_THROW(Implementation::LibXmlParser().ParseBytes(Utf16(Crowded(L"a", 257), false), L"t"),
                 XmlParseErrorException)
        << "UTF-16";
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
