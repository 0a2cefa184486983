// Pages inside the real main dialog: slots, building, switching, updates.
#include "tests/app/WindowFixture.h"

#include "support/Text.h"

#include <QTest>

using namespace AppTest;

namespace {

class Pages : public WindowFixture {
protected:
    static std::wstring PageXml(const std::wstring& name, const std::wstring& background = {},
                                const std::wstring& children = {}, const std::wstring& extra = {}) {
        return L"<page name=\"" + name + L"\" background=\"" + background + L"\"" + extra + L">" +
               children + L"</page>";
    }
};

} // namespace

TEST_F(Pages, DefaultPageButtonsTakeTheFirstSlots) {
    const std::wstring bg = Bitmap("main.bmp", 300, 100, Qt::darkGreen);
    Start(L"<pages default=\"main\">" +
          PageXml(L"default", L"",
                  Button(L"d1", L"page", L"p1", 10) + Button(L"d2", L"page", L"p2", 60)) +
          PageXml(L"main", bg,
                  Button(L"m1", L"page", L"p3", 110) + L"<subpage/>" +
                      Button(L"m2", L"page", L"p4", 160) + Button(L"m3", L"page", L"p5", 210)) +
          PageXml(L"p1") + PageXml(L"p2") + PageXml(L"p3") + PageXml(L"p4") + PageXml(L"p5") +
          L"</pages>");
    ASSERT_EQ(dialog->CurrentPage(), L"main");
    CautorunDlg& main = Page(L"main");
    for (int slot = 1; slot <= 30; ++slot)
        EXPECT_EQ(main.Button(slot).isVisible(), slot <= 5) << slot;

    const struct {
        int control;
        const wchar_t* shows;
    } presses[] = {{1019, L"p1"}, {1007, L"p2"}, {1010, L"p3"}, {1011, L"p4"}, {1016, L"p5"}};
    for (const auto& press : presses) {
        dialog->ShowPage(L"main");
        Click(L"main", press.control);
        EXPECT_EQ(dialog->CurrentPage(), press.shows) << press.control;
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Pages, SecondPageOfTheSameNameIsDropped) {
    Start(L"<pages default=\"a\">" + PageXml(L"a") + PageXml(L"a") + PageXml(L"default") +
          PageXml(L"") + L"<Page name=\"x\"/></pages>");
    EXPECT_EQ(dialog->PageNames(), std::vector<std::wstring>{L"a"});
    EXPECT_EQ(dialog->findChildren<CautorunDlg*>(Qt::FindDirectChildrenOnly).size(), 1);
}

// The fixed size and missing frame are read from the window manager in tests/desktop.
TEST_F(Pages, PageActionSwitchesAndResizesTheWindow) {
    const std::wstring small = Bitmap("Art/Small.bmp", 120, 60, Qt::red);
    Bitmap("skins/large.bmp", 200, 90, Qt::blue);
    // Written on Windows: other case, backslashes.
    Start(L"<pages default=\"main\">" + PageXml(L"main", small, Button(L"go", L"page", L"other")) +
          PageXml(L"other", L"${EXE_DIR}\\SKINS\\LARGE.BMP") + PageXml(L"plain") + L"</pages>");
    EXPECT_EQ(dialog->size(), QSize(120, 60));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Main title"));
    Click(L"main", 1019);
    EXPECT_EQ(dialog->CurrentPage(), L"other");
    EXPECT_EQ(dialog->size(), QSize(200, 90));
    EXPECT_EQ(dialog->windowTitle(), QString());
    EXPECT_TRUE(Page(L"other").isVisible());
    EXPECT_FALSE(Page(L"main").isVisible());
    EXPECT_FALSE(Page(L"main").isEnabled());
    EXPECT_EQ(dialog->grab().toImage().pixelColor(150, 80), QColor(Qt::blue));

    dialog->ShowPage(L"plain");
    EXPECT_EQ(dialog->size(), QSize(500, 200)) << "a page without a background";
    dialog->ShowPage(L"nowhere");
    EXPECT_EQ(dialog->CurrentPage(), L"plain");
}

TEST_F(Pages, CyclePageFollowsNameOrder) {
    Start(L"<pages>" + PageXml(L"b") + PageXml(L"a") + PageXml(L"c") + L"</pages>");
    EXPECT_EQ(dialog->CurrentPage(), L"") << "no default page";
    for (const wchar_t* expected : {L"a", L"b", L"c", L"a"}) {
        dialog->CyclePage();
        EXPECT_EQ(dialog->CurrentPage(), expected);
    }
}

TEST_F(Pages, MissingBackgroundStopsEveryPage) {
    Start(L"<pages default=\"a\">" + PageXml(L"a") + PageXml(L"b", L"${EXE_DIR}/none.bmp") +
          PageXml(L"c") + L"</pages>");
    EXPECT_TRUE(engine->IsStopped());
    EXPECT_EQ(dialog->PageNames(), std::vector<std::wstring>{L"a"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, L"Error");
    EXPECT_EQ(boxes.shown[0].second, L"Not found: " + dir.Wide("none.bmp"));
}

TEST_F(Pages, BadButtonKeepsItsSlotAndSurplusButtonsAreReported) {
    std::wstring buttons = L"<xmlbutton name=\"broken\" action=\"page\" value=\"a\">"
                           L"<bitmap normal=\"gone.bmp\"/></xmlbutton>" +
                           Button(L"second", L"page", L"b", 60);
    for (int i = 3; i <= 31; ++i)
        buttons += Button(L"n" + std::to_wstring(i), L"page", L"c");
    Start(L"<pages default=\"main\">" + PageXml(L"main", L"", buttons) + PageXml(L"b") +
          PageXml(L"c") + L"</pages>");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].second.rfind(L"Bad: <xmlbutton name=\"broken\"", 0), 0u);
    EXPECT_EQ(boxes.shown[1].second.rfind(L"Bad: <xmlbutton name=\"n31\"", 0), 0u);
    EXPECT_TRUE(Page(L"main").Button(30).isVisible());
    Click(L"main", 1007);
    EXPECT_EQ(dialog->CurrentPage(), L"b") << "the second button is still slot 2";
}

// Every element the button reader rejects (FxXmlReaderTest) ends the build alike; here a colour.
TEST_F(Pages, ABuildThatStopsAtABrokenElementKeepsThePageSize) {
    const std::wstring button = L"<xmlbutton name=\"b\" action=\"page\" value=\"a\">"
                                L"<tooltip text=\"t\" colour=\"not a colour\"/></xmlbutton>";
    Start(L"<pages default=\"bg\">" +
          PageXml(L"bg", Bitmap("bg.bmp", 120, 80, Qt::darkBlue), button) +
          PageXml(L"plain", L"", button) + L"</pages>");
    EXPECT_EQ(Page(L"bg").size(), QSize(120, 80));
    EXPECT_EQ(Page(L"plain").size(),
              QSize(CautorunDlg::kDefaultWidth, CautorunDlg::kDefaultHeight));
    EXPECT_EQ(dialog->size(), QSize(120, 80));
}

TEST_F(Pages, EnableStatesAttributesAndTextsFollowTheEngine) {
    Start(LR"(<application><languagetable><strings language="en"><string name="hi">Hello</string>
          </strings><strings language="fr"><string name="hi">Bonjour</string></strings>
          </languagetable></application>)"
          L"<pages default=\"main\">" +
          PageXml(L"main", L"",
                  L"<xmlbutton name=\"x\" action=\"page\" value=\"main\"><text normal=\"hi\"/>"
                  L"</xmlbutton>" +
                      Button(L"y", L"page", L"main", 60)) +
          L"</pages>");
    CautorunDlg& main = Page(L"main");
    EXPECT_EQ(main.Button(1).Model().text[0], L"Hello");
    EXPECT_TRUE(main.Button(2).isEnabled());

    engine->ExecuteActionXml(L"<action action=\"enablebutton\" button=\"y\" value=\"false\"/>");
    EXPECT_FALSE(main.Button(2).isEnabled());
    EXPECT_TRUE(main.Button(1).isEnabled());

    engine->ExecuteActionXml(L"<action action=\"setbuttonattribute\" button=\"x\" "
                             L"attribute=\"text\" normal=\"Set\"/>");
    EXPECT_EQ(main.Button(1).Model().text[0], L"Set");

    context.strings.SetLanguage(L"fr");
    dialog->Refresh();
    EXPECT_EQ(main.Button(1).Model().text[0], L"Bonjour");
}

TEST_F(Pages, PageQueueRunsAfterStartAndItsDelayLater) {
    Start(L"<actionqueues><actionqueue name='q&amp;1'><action action='page' value='b'/><delay "
          L"value='150'/><action action='page' value='c'/></actionqueue></actionqueues><pages "
          L"default='a'>" +
          PageXml(L"a", L"", L"", L" actionqueue='q&amp;1'") + PageXml(L"b") + PageXml(L"c") +
          L"</pages>");
    ASSERT_TRUE(WaitFor([&] { return dialog->CurrentPage() == L"b"; }));
    EXPECT_EQ(engine->PendingDelayCount(), 1u);
    ASSERT_TRUE(WaitFor([&] { return dialog->CurrentPage() == L"c"; }));
    EXPECT_EQ(engine->PendingDelayCount(), 0u);
}

TEST_F(Pages, OnlyTheTimedActionTimerRunsTheTimedAction) {
    Start(L"<pages default=\"a\">" + PageXml(L"a") + PageXml(L"b") + L"</pages>");
    engine->ScheduleTimedAction(L"<action action=\"page\" value=\"b\"/>", 100);
    QTimerEvent stranger(0x7ffffff0);
    QCoreApplication::sendEvent(dialog.get(), &stranger);
    EXPECT_EQ(dialog->CurrentPage(), L"a");
    EXPECT_TRUE(engine->HasTimedAction());
    ASSERT_TRUE(WaitFor([&] { return dialog->CurrentPage() == L"b"; }));
    EXPECT_FALSE(engine->HasTimedAction());
}
