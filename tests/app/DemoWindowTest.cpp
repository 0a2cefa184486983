// The bundled demo in the real main dialog: what the window shows and what its buttons do.
#include "tests/app/WindowFixture.h"

#include "app/ControlIds.h"
#include "support/Text.h"
#include "tests/support/ProcessRunner.h"

#include <QImage>
#include <QScreen>
#include <QTest>

#include <cstdlib>
#include <filesystem>

using namespace AppTest;

namespace {

namespace fs = std::filesystem;

// Slots on the demo's pages: the default page's mute, minimise and close come first.
constexpr int kMute = 1;
constexpr int kOptions = 7; // main page
constexpr int kGerman = 7;  // options page
constexpr int kOptionsBack = 8;

class DemoWindow : public WindowFixture {
protected:
    void SetUp() override {
        const char* bin = std::getenv("VELLMAR_TEST_BIN_DIR");
        const fs::path placed = fs::path(bin ? bin : "bin") / "data";
        if (!fs::exists(placed / "autorun.xml"))
            GTEST_FAIL() << "the demo is not placed in " << placed << " (build demo_files)";
        fs::copy(placed, dir / "data", fs::copy_options::recursive);

        context.strings.SetBuiltInVariable(L"CONFIGXML_DIR", dir.Wide("data"));
        context.strings.SetBuiltInVariable(L"CSIDL_LOCAL_APPDATA", dir.Wide("local"));
        const std::wstring file = dir.Wide("data/autorun.xml");
        dialog->initSignal.connect([this, file] { engine->Start(dialog.get(), file); });
        dialog->InitDialog();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }

    void Press(const std::wstring& page, int slot) {
        Click(page, PageControls::ControlOfSlot(slot));
    }

    QImage Art(const std::string& name) const {
        return QImage(QString::fromStdString((dir / "data" / name).string()));
    }
    QImage Shown() const { return dialog->grab().toImage(); }
};

} // namespace

TEST_F(DemoWindow, ShowsTheMainPageWithKeyedButtonsAndTheRestoredNews) {
    EXPECT_EQ(dialog->CurrentPage(), L"main");
    EXPECT_EQ(dialog->size(), QSize(640, 400));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Lumen Reach"));
    // Restored into the player's folder, never beside the configuration: a disc is read-only.
    EXPECT_TRUE(fs::exists(dir / "local" / "Lumen Reach" / "news" / "news.xml"));
    EXPECT_FALSE(fs::exists(dir / "data" / "news"));
    EXPECT_TRUE(boxes.shown.empty());

    const QImage shown = Shown();
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
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Lumen Reach - Options"));
    EXPECT_FALSE(Page(L"options").Button(kGerman - 1).isEnabled()); // English is in use

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
    const char* bin = std::getenv("VELLMAR_TEST_BIN_DIR");
    fs::copy_file(fs::path(bin ? bin : "bin") / "autorun", dir / "autorun");
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
