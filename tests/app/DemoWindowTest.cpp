// The bundled demo in the real main dialog: what the window shows and what its buttons do.
#include "tests/app/WindowFixture.h"

#include "app/ControlIds.h"
#include "app/Subpage.h"
#include "engine/ActionHandlers.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "ltf/xml/XmlParser.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "tests/support/ProcessRunner.h"

#include <QImage>
#include <QScreen>
#include <QTest>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

using namespace AppTest;

namespace {

namespace fs = std::filesystem;
using LTF::Xml::XmlNode;

const char* const kConfigurations[] = {"autorun.xml", "news_backup/news.xml"};

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

const XmlNode& Root(const LTF::Xml::XmlParser& parser) {
    return *parser.GetDocument()->GetDocumentElement();
}

// Slots on the demo's pages: the default page's mute, minimise and close come first.
constexpr int kMute = 1;
constexpr int kOptions = 7; // main page
constexpr int kGerman = 7;  // options page
constexpr int kOptionsBack = 8;

class DemoWindow : public WindowFixture {
protected:
    void SetUp() override {
        const fs::path placed = fs::path(std::getenv("VELLMAR_TEST_BIN_DIR")) / "data";
        if (!fs::exists(placed / "autorun.xml"))
            GTEST_FAIL() << "the demo is not placed in " << placed << " (build demo_files)";
        fs::copy(placed, dir / "data", fs::copy_options::recursive);

        context.strings.SetBuiltInVariable(L"CONFIGXML_DIR", dir.Wide("data"));
        context.strings.SetBuiltInVariable(L"CSIDL_LOCAL_APPDATA", dir.Wide("local"));
        Open(dir.Wide("data/autorun.xml"));
    }

    void Press(const std::wstring& page, int slot) {
        Click(page, PageControls::ControlOfSlot(slot));
    }

    QImage Art(const std::string& name) const {
        return QImage(QString::fromStdString((dir / "data" / name).string()));
    }

    // data/<relative> parsed, with its ${...} expanded as the pages expand them.
    std::unique_ptr<LTF::Xml::XmlParser> Parse(const std::string& relative) const {
        std::unique_ptr<LTF::Xml::XmlParser> parser(LTF::Xml::CreateXmlParser(0));
        parser->ParseFile(dir.Wide("data/" + relative));
        std::unique_ptr<LTF::Xml::XmlParser> expanded(LTF::Xml::CreateXmlParser(0));
        expanded->ParseString(context.strings.ExpandForXml(Root(*parser).GetXml()));
        return expanded;
    }
};

} // namespace

// Its size and title, and the options page's, tests/desktop reads from the real program.
TEST_F(DemoWindow, ShowsTheMainPageWithKeyedButtonsAndTheRestoredNews) {
    EXPECT_EQ(dialog->CurrentPage(), L"main");
    // Restored into the player's folder, never beside the configuration: a disc is read-only.
    EXPECT_TRUE(fs::exists(dir / "local" / "Lumen Reach" / "news" / "news.xml"));
    EXPECT_FALSE(fs::exists(dir / "data" / "news"));
    EXPECT_TRUE(boxes.shown.empty());

    const QImage shown = dialog->grab().toImage();
    const QImage background = Art("art/bg_main.bmp");
    const QImage button = Art("art/button_normal.bmp");
    const QImage news = Art("news_backup/news_1.bmp");
    const struct {
        const char* what;
        QPoint at;
        QRgb expected;
    } probes[] = {
        {"moon", {478, 70}, background.pixel(478, 70)},
        {"sea", {600, 395}, background.pixel(600, 395)},
        // The Play button at (428, 128): its art, and the page through its magenta corner.
        {"play button face", {428 + 30, 128 + 10}, button.pixel(30, 10)},
        {"play button corner", {428, 128}, background.pixel(428, 128)},
        // The news subpage at (24, 128) shows its first card.
        {"news picture", {24 + 290, 128 + 60}, news.pixel(290, 60)},
    };
    for (const auto& probe : probes)
        EXPECT_EQ(shown.pixel(probe.at) | 0xFF000000, probe.expected | 0xFF000000) << probe.what;
}

TEST_F(DemoWindow, ButtonsSwitchPagesLanguageAndMusic) {
    Press(L"main", kOptions);
    EXPECT_EQ(dialog->CurrentPage(), L"options");

    Press(L"options", kGerman);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Lumen Reach - Optionen"));
    EXPECT_EQ(context.selectedLanguage, L"de");
    EXPECT_TRUE(Page(L"options").Button(kGerman - 1).isEnabled());
    EXPECT_FALSE(Page(L"options").Button(kGerman).isEnabled());
    EXPECT_EQ(Page(L"main").Button(kOptions).Model().text[LTF::GUI::ButtonState::Normal],
              L"Optionen");

    Press(L"options", kOptionsBack);
    EXPECT_EQ(dialog->CurrentPage(), L"main");

    ASSERT_EQ(Page(L"main").MuteButton(), kMute - 1);
    Press(L"main", kMute);
    EXPECT_TRUE(engine->IsMuted());
    Press(L"main", kMute);
    EXPECT_FALSE(engine->IsMuted());
    EXPECT_TRUE(boxes.shown.empty());
}

// `autorun /preview` beside the same files draws each page in each language exactly as this
// window shows it, the initialization's disabled buttons and the news area included.
TEST_F(DemoWindow, PreviewDrawsEveryPageAsTheWindowShowsIt) {
    fs::copy_file(fs::path(std::getenv("VELLMAR_TEST_BIN_DIR")) / "autorun", dir / "autorun");
    const TestSupport::ProcessResult preview = TestSupport::RunProcess(
        (dir / "autorun").string(), {"/preview=" + (dir / "preview").string()},
        // The player's folder where this window's start restored the news.
        {{"HOME", dir.Path().string()},
         {"XDG_DATA_HOME", (dir / "local").string()},
         {"LANG", "C"},
         {"LC_ALL", ""}});
    ASSERT_EQ(preview.exitCode, 0) << preview.out << preview.err;
    for (const std::string language : {"en", "de"}) {
        if (language == "de")
            engine->ExecuteActionXml(L"<action action=\"actionqueue\" value=\"language_de\"/>");
        for (const std::string page : {"main", "extras", "options"}) {
            dialog->ShowPage(Vellmar::Utf8ToWide(page));
            QTest::qWait(50); // painted and, on a display, mapped
            // What the screen holds for the window, not what the widget would paint.
            const QImage shown = dialog->screen()->grabWindow(dialog->winId()).toImage();
            const QImage drawn = QImage(QString::fromStdString(
                (dir / "preview" / (page + "." + language + ".png")).string()));
            EXPECT_TRUE(shown.convertToFormat(QImage::Format_RGB32) ==
                        drawn.convertToFormat(QImage::Format_RGB32))
                << page << "." << language;
        }
    }
    EXPECT_TRUE(fs::exists(dir / "preview" / "index.html"));
}

// The news cards fill the news area exactly, the area lies inside its page, and every button of
// the cards lies inside its card. (autorun.xml's own pages are laid out as `autorun /check`,
// which AuthorToolsTest runs on the demo, requires; it does not read news.xml.)
TEST_F(DemoWindow, TheNewsCardsFillTheirAreaAndHoldTheirButtons) {
    CMainDlg* news = Page(L"main").FindSubpage(L"news")->Host();
    ASSERT_NE(news, nullptr);
    EXPECT_TRUE(Page(L"main").rect().contains(news->geometry()));
    for (const std::wstring& name : news->PageNames()) {
        SCOPED_TRACE(Vellmar::WideToUtf8(name));
        news->ShowPage(name);
        const CautorunDlg& page = *news->FindPage(name);
        EXPECT_EQ(page.size(), news->size());
        for (int slot = 1; slot <= 30; ++slot) {
            const QRect placed = page.Button(slot).geometry();
            if (!page.Button(slot).isHidden()) {
                EXPECT_TRUE(!placed.isEmpty() && page.rect().contains(placed))
                    << "slot " << slot << " at " << placed.x() << "," << placed.y() << " "
                    << placed.width() << "x" << placed.height();
            }
        }
    }
    EXPECT_TRUE(boxes.shown.empty());
}

// Every button reads, and every text, tip and window title is in English and German. After
// expansion, a value naming something in the demo's folders exists there (executable where it is
// run), and each action is the launcher's own. A typo would make a button silently do nothing.
// (`autorun /check`, which AuthorToolsTest runs on the demo, also finds unknown targets in
// autorun.xml; it does not read the news area's news.xml.)
TEST_F(DemoWindow, EveryButtonReadsAndEveryFileNameAndTextItUsesExists) {
    const std::vector<std::wstring> actions = ActionHandlers::Names();
    for (const std::string file : kConfigurations) {
        SCOPED_TRACE(file);
        const auto expanded = Parse(file);
        std::set<std::wstring> texts; // the window titles are the pages' names
        if (file == kConfigurations[0]) {
            for (const XmlNode* page :
                 Elements(*Root(*expanded).GetChildNode(L"pages", 0), L"page"))
                texts.insert(page->GetAttribute(L"name"));
            texts.erase(L"default");
        }
        int files = 0, acting = 0;
        Walk(Root(*expanded), [&](const XmlNode& element) {
            if (element.GetName() == L"xmlbutton") { // a broken one would end its page silently
                LTF::GUI::CFxButton button(nullptr);
                button.ApplyDefaultAppearance(L"");
                EXPECT_TRUE(button.ReadXml(&element)) << Describe(element);
                if (const XmlNode* text = element.GetChildNode(L"text", 0))
                    texts.insert(text->GetAttribute(L"normal"));
                if (const XmlNode* tip = element.GetChildNode(L"tooltip", 0))
                    texts.insert(tip->GetAttribute(L"text"));
            }
            const std::wstring action = Vellmar::ToLower(element.GetAttribute(L"action"));
            for (const auto& [name, value] : element.GetAttributes()) {
                if (!value.starts_with(dir.Wide()))
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
            if (action.empty())
                return; // labels are buttons without an action
            ++acting;
            EXPECT_NE(std::find(actions.begin(), actions.end(), action), actions.end())
                << Vellmar::WideToUtf8(action);
            if (action == L"url") {
                EXPECT_TRUE(element.GetAttribute(L"value").starts_with(L"https://"))
                    << Describe(element);
            }
        });
        EXPECT_GT(files, 5);
        EXPECT_GT(acting, 0);
        EXPECT_FALSE(texts.empty());
        std::map<std::wstring, std::set<std::wstring>> defined; // language -> names
        for (const XmlNode* group :
             Elements(*Root(*expanded).SelectNode(L"application/languagetable"), L"strings")) {
            for (const XmlNode* entry : Elements(*group, L"string")) {
                if (!entry->GetText().empty())
                    defined[group->GetAttribute(L"language")].insert(entry->GetAttribute(L"name"));
            }
        }
        for (const wchar_t* language : {L"en", L"de"}) {
            for (const std::wstring& text : texts)
                EXPECT_TRUE(defined[language].count(text))
                    << Vellmar::WideToUtf8(text) << " missing in " << Vellmar::WideToUtf8(language);
        }
    }
}
