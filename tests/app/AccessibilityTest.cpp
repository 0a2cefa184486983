// What a screen reader finds in the launcher's window: the shown page's visible buttons only.
#include "tests/app/WindowFixture.h"

#include "app/Accessibility.h"

#include <QAccessible>

using namespace AppTest;

namespace {

class AccessibilityTest : public WindowFixture {};

TEST_F(AccessibilityTest, ShownPageAndItsVisibleButtonsOnly) {
    InstallAccessibility();
    Start(LR"(<application><languagetable><strings><string name="play">Play</string>
          <string name="tip">Start the game</string><string name="close">Close</string>
          </strings></languagetable></application><pages default="main"><page name="main">
          <xmlbutton name="play" action="page" value="b"><position x="10" y="10"/>
          <size width="60" height="20"/><text normal="play" duplicate="true"/>
          <tooltip text="tip"/></xmlbutton><xmlbutton name="close" action="system" value="close">
          <position x="80" y="10"/><size width="20" height="20"/><tooltip text="close"/>
          </xmlbutton></page><page name="b">)" +
          Button(L"back", L"page", L"main") + L"</page></pages>");
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(dialog.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window); // named by its title: tests/desktop
    ASSERT_EQ(window->childCount(), 1) << "the hidden page is not exposed";
    QAccessibleInterface* page = window->child(0);
    ASSERT_EQ(page->childCount(), 2) << "unused slots not exposed";
    QAccessibleInterface* play = page->child(0);
    EXPECT_EQ(play->text(QAccessible::Name), "Play");
    EXPECT_EQ(page->child(1)->text(QAccessible::Name), "Close");
    EXPECT_EQ(play->role(), QAccessible::Button);
    EXPECT_EQ(play->text(QAccessible::Description), "Start the game");
    EXPECT_EQ(page->indexOfChild(page->child(1)), 1);

    ASSERT_NE(play->actionInterface(), nullptr);
    play->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(dialog->CurrentPage(), L"b");
    ASSERT_EQ(window->childCount(), 1);
    EXPECT_EQ(window->child(0)->childCount(), 1);
}

} // namespace
