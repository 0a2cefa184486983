// The bundled demo as the build places it beside bin/autorun: every button reads with all its
// bitmaps, every file and name the configuration refers to exists, every text is translated,
// and the generated art and sounds have the formats the launcher loads.
#include "config/StringTable.h"
#include "ltf/gui/CFxButton.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "ltf/xml/XmlParser.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "tests/support/TempDir.h"

#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QWidget>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using LTF::Xml::XmlNode;

const std::wstring kMainFile = L"autorun.xml";
const std::wstring kNewsFile = L"news_backup/news.xml";
const wchar_t* const kTable = L"application/languagetable";

fs::path BuiltDataDir() {
    const char* bin = std::getenv("VELLMAR_TEST_BIN_DIR");
    return fs::path(bin ? bin : "bin") / "data";
}

// A copy of the placed demo as it is after the first start, when the launcher has made the
// live news folder from the backup in the player's folder (local/ stands for it).
class StartedDemo {
public:
    StartedDemo() {
        if (!fs::exists(BuiltDataDir() / "autorun.xml"))
            return;
        fs::copy(BuiltDataDir(), dir.Path(), fs::copy_options::recursive);
        fs::create_directories(LiveNews().parent_path());
        fs::copy(dir / "news_backup", LiveNews(), fs::copy_options::recursive);
    }
    fs::path LiveNews() const { return dir / "local" / "Lumen Reach" / "news"; }
    const fs::path& Dir() const { return dir.Path(); }

private:
    Vellmar::Testing::TempDir dir{"demo-test"};
};

const StartedDemo& Demo() {
    static const StartedDemo demo;
    return demo;
}

std::wstring DataPath(const std::wstring& relative) {
    return Vellmar::Utf8ToWide((Demo().Dir() / Vellmar::WideToUtf8(relative)).string());
}

std::vector<const XmlNode*> Elements(const XmlNode& parent, const std::wstring& name = L"") {
    std::vector<const XmlNode*> found;
    const auto* children = parent.GetChildNodes();
    for (int i = 0; i < children->GetLength(); ++i) {
        const XmlNode* child = children->GetItem(i);
        if (child->GetNodeType() == LTF::Xml::XmlNodeType::Element &&
            (name.empty() || child->GetName() == name))
            found.push_back(child);
    }
    return found;
}

// Every element of the subtree, document order.
void Walk(const XmlNode& node, const std::function<void(const XmlNode&)>& visit) {
    visit(node);
    for (const XmlNode* child : Elements(node))
        Walk(*child, visit);
}

std::string Describe(const XmlNode& node) {
    return Vellmar::WideToUtf8(node.GetName() + L" " + node.GetAttribute(L"name"));
}

// A configuration as the launcher sees it: parsed by the real parser, with the language tables
// of the main configuration and of itself loaded (they share one table at run time) and the
// whole document expanded the way the page code expands its section.
class DemoConfiguration {
public:
    explicit DemoConfiguration(const std::wstring& relative) {
        raw = Parse(DataPath(relative), true);
        if (relative != kMainFile)
            strings.Load(Root(*Parse(DataPath(kMainFile), true)).SelectNode(kTable));
        strings.Load(Root(*raw).SelectNode(kTable));
        strings.SetBuiltInVariable(L"CONFIGXML_DIR", Vellmar::Utf8ToWide(Demo().Dir().string()));
        strings.SetBuiltInVariable(L"CSIDL_LOCAL_APPDATA",
                                   Vellmar::Utf8ToWide((Demo().Dir() / "local").string()));
        expanded = Parse(strings.ExpandForXml(Root(*raw).GetXml()), false);
    }

    const XmlNode& Raw() const { return Root(*raw); }
    const XmlNode& Expanded() const { return Root(*expanded); }
    const XmlNode& Pages() const { return *Expanded().GetChildNode(L"pages", 0); }

    // The buttons a page shows, in slot order: the default page's first.
    std::vector<const XmlNode*> ButtonsOf(const XmlNode& page) const {
        std::vector<const XmlNode*> buttons;
        if (const XmlNode* common = Pages().FindChildNode(L"name", L"default", L"page", 0))
            buttons = Elements(*common, L"xmlbutton");
        for (const XmlNode* own : Elements(page, L"xmlbutton"))
            buttons.push_back(own);
        return buttons;
    }
    std::vector<const XmlNode*> ShownPages() const {
        std::vector<const XmlNode*> pages;
        for (const XmlNode* page : Elements(Pages(), L"page")) {
            if (page->GetAttribute(L"name") != L"default")
                pages.push_back(page);
        }
        return pages;
    }

private:
    static const XmlNode& Root(const LTF::Xml::XmlParser& parser) {
        return *parser.GetDocument()->GetDocumentElement();
    }
    static std::unique_ptr<LTF::Xml::XmlParser> Parse(const std::wstring& source, bool isFile) {
        std::unique_ptr<LTF::Xml::XmlParser> parser(LTF::Xml::CreateXmlParser(0));
        if (isFile)
            parser->ParseFile(source);
        else
            parser->ParseString(source);
        return parser;
    }

    std::unique_ptr<LTF::Xml::XmlParser> raw;
    std::unique_ptr<LTF::Xml::XmlParser> expanded;
    StringTable strings;
};

QSize BitmapSize(const std::wstring& file) {
    return QImageReader(QString::fromStdString(Vellmar::NativePath(file))).size();
}

class DemoConfigurationTest : public ::testing::TestWithParam<std::wstring> {
protected:
    void SetUp() override {
        if (!Vellmar::PathExists(DataPath(kMainFile)))
            GTEST_FAIL() << "the demo is not placed in " << BuiltDataDir() << " (build demo_files)";
        config = std::make_unique<DemoConfiguration>(GetParam());
    }
    std::unique_ptr<DemoConfiguration> config;
};

TEST_P(DemoConfigurationTest, EveryButtonReadsWithAllItsBitmapsInsideItsPage) {
    ASSERT_FALSE(config->ShownPages().empty());
    for (const XmlNode* page : config->ShownPages()) {
        SCOPED_TRACE(Describe(*page));
        const QSize size = BitmapSize(page->GetAttribute(L"background"));
        ASSERT_TRUE(size.isValid()) << "background does not load";
        const std::vector<const XmlNode*> buttons = config->ButtonsOf(*page);
        EXPECT_LE(buttons.size(), 30u);

        QWidget surface;
        surface.resize(size);
        for (const XmlNode* element : buttons) {
            SCOPED_TRACE(Describe(*element));
            auto* button = new LTF::GUI::CFxButton(&surface);
            button->ApplyDefaultAppearance(L"");
            EXPECT_TRUE(button->ReadXml(element));
            const RECT r = button->WindowRect();
            const QRect placed(r.left, r.top, r.right - r.left, r.bottom - r.top);
            EXPECT_FALSE(placed.isEmpty());
            EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(placed))
                << "placed at " << r.left << "," << r.top << " size " << placed.width() << "x"
                << placed.height();
        }
    }
}

TEST_P(DemoConfigurationTest, EveryTextAndTitleIsTranslatedIntoEnglishAndGerman) {
    std::set<std::wstring> keys;
    for (const XmlNode* page : config->ShownPages()) {
        if (GetParam() == kMainFile)
            keys.insert(page->GetAttribute(L"name")); // the window title
        for (const XmlNode* button : config->ButtonsOf(*page)) {
            if (const XmlNode* text = button->GetChildNode(L"text", 0))
                keys.insert(text->GetAttribute(L"normal"));
            if (const XmlNode* tip = button->GetChildNode(L"tooltip", 0))
                keys.insert(tip->GetAttribute(L"text"));
        }
    }
    ASSERT_FALSE(keys.empty());
    std::map<std::wstring, std::set<std::wstring>> defined; // language -> names
    for (const XmlNode* group : Elements(*config->Raw().SelectNode(kTable), L"strings")) {
        for (const XmlNode* entry : Elements(*group, L"string")) {
            if (!entry->GetText().empty())
                defined[group->GetAttribute(L"language")].insert(entry->GetAttribute(L"name"));
        }
    }
    for (const wchar_t* language : {L"en", L"de"}) {
        for (const std::wstring& key : keys)
            EXPECT_TRUE(defined[language].count(key))
                << Vellmar::WideToUtf8(key) << " missing in " << Vellmar::WideToUtf8(language);
    }
}

// After expansion, a value naming something in the data folder exists there (executable where
// it is run), and each action names something that exists: a page, a queue, a condition, a
// button, a subpage; keywords are the launcher's own. A typo would make a button silently do
// nothing.
TEST_P(DemoConfigurationTest, EveryFileAndNameItUsesExists) {
    const XmlNode& root = config->Expanded();
    std::map<std::wstring, std::set<std::wstring>> names;
    Walk(root, [&](const XmlNode& element) {
        const std::wstring name = element.GetAttribute(L"name");
        if (!name.empty())
            names[element.GetName()].insert(name);
    });
    const std::set<std::wstring> targets = {L"page", L"actionqueue", L"condition", L"subpage"};
    const std::set<std::wstring> others = {
        L"createdir", L"createshortcut", L"createurl", L"enablebutton", L"setbuttonattribute",
        L"execute",   L"loadfont",       L"setmutex",  L"pagecycle",    L"shellexecute",
        L"system",    L"update",         L"url"};
    const std::set<std::wstring> conditionTypes = {L"commandline", L"fileexist", L"floatcompare",
                                                   L"ini",         L"language",  L"mutex",
                                                   L"newsupdate",  L"regsz"};
    const std::wstring data = Vellmar::Utf8ToWide(Demo().Dir().string());
    int files = 0, actions = 0;
    Walk(root, [&](const XmlNode& element) {
        const std::wstring action = Vellmar::ToLower(element.GetAttribute(L"action"));
        for (const auto& [name, value] : element.GetAttributes()) {
            if (!value.starts_with(data))
                continue;
            ++files;
            EXPECT_TRUE(Vellmar::PathExists(value))
                << Describe(element) << " " << Vellmar::WideToUtf8(name) << "="
                << Vellmar::WideToUtf8(value);
            if (name == L"file" && action == L"execute") {
                EXPECT_EQ(::access(Vellmar::NativePath(value).c_str(), X_OK), 0)
                    << Vellmar::WideToUtf8(value) << " is not executable";
            }
        }
        if (element.GetName() == L"condition") {
            EXPECT_TRUE(conditionTypes.count(Vellmar::ToLower(element.GetAttribute(L"type"))))
                << Describe(element);
        }
        if (action.empty())
            return; // labels are buttons without an action
        ++actions;
        const std::wstring value = element.GetAttribute(L"value");
        if (targets.count(action)) {
            EXPECT_TRUE(names[action].count(value))
                << Describe(element) << ": no " << Vellmar::WideToUtf8(action) << " "
                << Vellmar::WideToUtf8(value);
        } else {
            EXPECT_TRUE(others.count(action)) << Vellmar::WideToUtf8(action);
        }
        if (action == L"enablebutton") {
            EXPECT_TRUE(names[L"xmlbutton"].count(element.GetAttribute(L"button")))
                << Describe(element);
        }
        if (action == L"url") {
            EXPECT_TRUE(value.starts_with(L"https://")) << Vellmar::WideToUtf8(value);
        }
    });
    EXPECT_GT(files, 5);
    EXPECT_GT(actions, 0);
}

INSTANTIATE_TEST_SUITE_P(MainAndNews, DemoConfigurationTest,
                         ::testing::Values(kMainFile, kNewsFile),
                         [](const auto& info) { return info.index == 0 ? "Main" : "News"; });

// The news pages fill the subpage rectangle exactly, and the rectangle lies inside its page.
TEST(DemoLayout, NewsAreaFitsItsPageAndItsPages) {
    if (!Vellmar::PathExists(DataPath(kMainFile)))
        GTEST_FAIL() << "the demo is not placed in " << BuiltDataDir();
    const DemoConfiguration main(kMainFile);
    const XmlNode* page = main.Pages().FindChildNode(L"name", L"main", L"page", 0);
    ASSERT_NE(page, nullptr);
    const XmlNode* subpage = page->GetChildNode(L"subpage", 0);
    ASSERT_NE(subpage, nullptr);
    const XmlNode& at = *subpage->GetChildNode(L"position", 0);
    const XmlNode& size = *subpage->GetChildNode(L"size", 0);
    const QRect area(std::stoi(at.GetAttribute(L"x")), std::stoi(at.GetAttribute(L"y")),
                     std::stoi(size.GetAttribute(L"width")),
                     std::stoi(size.GetAttribute(L"height")));
    EXPECT_TRUE(QRect(QPoint(0, 0), BitmapSize(page->GetAttribute(L"background"))).contains(area));

    const XmlNode& source = *subpage->GetChildNode(L"source", 0);
    const auto folder = [&source](const wchar_t* name) {
        return fs::path(
            Vellmar::WideToUtf8(Vellmar::NormalizeSeparators(source.GetAttribute(name))));
    };
    // The build places only the backup; the launcher makes the live folder in the player's
    // folder, as a disc cannot be written.
    EXPECT_EQ(folder(L"backup").filename(), "news_backup");
    EXPECT_EQ(folder(L"path"), Demo().LiveNews());
    const DemoConfiguration news(kNewsFile);
    for (const XmlNode* card : news.ShownPages())
        EXPECT_EQ(BitmapSize(card->GetAttribute(L"background")), area.size()) << Describe(*card);
}

// The bytes of a placed file, and the little-endian number of `size` bytes at `at` in them.
std::string Bytes(const char* file) {
    std::ifstream in(BuiltDataDir() / file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | std::uint8_t(bytes.at(at + i));
    return v;
}

// What the generator writes: 24-bit uncompressed BMPs, keyed ones with the transparency
// colour in the corners and art in the middle, and 16-bit PCM sounds that are not silent.
TEST(DemoArt, BitmapsAreUncompressed24BitWithTheirKeyColour) {
    struct Case {
        const char* file;
        int width, height;
        bool keyed;
    };
    const Case cases[] = {
        {"art/bg_main.bmp", 640, 400, false},        {"art/bg_extras.bmp", 640, 400, false},
        {"art/bg_options.bmp", 640, 400, false},     {"art/logo.bmp", 400, 100, true},
        {"art/logo_over.bmp", 400, 100, true},       {"art/button_normal.bmp", 190, 42, true},
        {"art/button_disabled.bmp", 190, 42, true},  {"art/sound_over.bmp", 26, 26, true},
        {"art/muted_pushed.bmp", 26, 26, true},      {"art/close_normal.bmp", 26, 26, true},
        {"news_backup/news_1.bmp", 300, 232, false}, {"news_backup/next_over.bmp", 28, 28, true},
    };
    const QRgb key = qRgb(255, 0, 255);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string header = Bytes(c.file);
        ASSERT_GE(header.size(), 54u);
        EXPECT_EQ(header.substr(0, 2), "BM");
        EXPECT_EQ(Le(header, 28, 2), 24u); // bits per pixel
        EXPECT_EQ(Le(header, 30, 4), 0u);  // BI_RGB
        const QImage image((BuiltDataDir() / c.file).c_str());
        ASSERT_EQ(image.size(), QSize(c.width, c.height));
        int keyPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                keyPixels += (image.pixel(x, y) | 0xFF000000) == key;
        }
        if (c.keyed) {
            EXPECT_EQ(image.pixel(0, 0) | 0xFF000000, key);
            EXPECT_LT(keyPixels, image.width() * image.height() * 4 / 5); // mostly art
        } else {
            EXPECT_EQ(keyPixels, 0);
        }
    }
}

TEST(DemoArt, SoundsArePcm16AndAudible) {
    struct Case {
        const char* file;
        double minSeconds, maxSeconds;
    };
    for (const Case& c : {Case{"music/theme.wav", 8, 40}, Case{"sounds/click.wav", 0.01, 0.5}}) {
        SCOPED_TRACE(c.file);
        const std::string bytes = Bytes(c.file);
        ASSERT_GT(bytes.size(), 44u);
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(Le(bytes, 20, 2), 1u);  // PCM
        EXPECT_EQ(Le(bytes, 34, 2), 16u); // bits per sample
        ASSERT_EQ(Le(bytes, 40, 4) + 44, bytes.size());
        const double seconds = double(Le(bytes, 40, 4)) / (Le(bytes, 24, 4) * Le(bytes, 22, 2) * 2);
        EXPECT_GE(seconds, c.minSeconds);
        EXPECT_LE(seconds, c.maxSeconds);
        int peak = 0;
        for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
            peak = std::max(peak, std::abs(int(std::int16_t(Le(bytes, i, 2)))));
        EXPECT_GT(peak, 8000);
        EXPECT_LT(peak, 32767); // never clipped
    }
}

} // namespace
