// Players without a mouse: the navigation keys through the application's key filter.
#include "tests/app/WindowFixture.h"

#include "app/KeyFilter.h"

#include <QApplication>
#include <QTest>

#include <vector>

using namespace AppTest;

namespace {

// Slots 1 to 4 in a square, slot 5 disabled in the middle; page b has one button back.
const std::wstring kSquare =
    L"<pages default=\"a\"><page name=\"a\">" + Button(L"tl", L"page", L"b", 10, 10) +
    Button(L"tr", L"page", L"b", 100, 10) + Button(L"bl", L"page", L"b", 10, 60) +
    Button(L"br", L"page", L"b", 100, 60) + Button(L"off", L"page", L"b", 55, 35) +
    L"</page><page name=\"b\">" + Button(L"back", L"page", L"a") + L"</page></pages>";

const QPoint kAside(300, 150);

class KeyNavigationTest : public WindowFixture {
protected:
    void SetUp() override {
        Start(kSquare);
        engine->ExecuteActionXml(
            L"<action action=\"enablebutton\" button=\"off\" value=\"false\"/>");
        // The pointer rests off every button: only the keys may draw a look.
        // Two moves: Qt drops a move to where the pointer already is.
        QTest::mouseMove(dialog->windowHandle(), kAside + QPoint(1, 1));
        QTest::mouseMove(dialog->windowHandle(), kAside);
        QTest::qWait(5);
        qApp->installEventFilter(&keys);
    }
    void TearDown() override { qApp->removeEventFilter(&keys); }

    void Keys(const std::vector<Qt::Key>& sequence) {
        for (Qt::Key key : sequence)
            QTest::keyClick(dialog->windowHandle(), key);
    }
    // The slot drawn with the keyboard focus on the shown page; 0 for none. Exactly one may be.
    int FocusedSlot() const {
        int found = 0;
        CautorunDlg& page = Page(dialog->CurrentPage());
        for (int slot = 1; slot <= 5; ++slot) {
            if (page.Button(slot).DrawingState() != LTF::GUI::ButtonState::Over)
                continue;
            EXPECT_EQ(found, 0) << "two buttons drawn focused";
            found = slot;
        }
        return found;
    }

    KeyFilter keys;
};

struct KeysCase {
    const char* name;
    std::vector<Qt::Key> keys;
    int focused;
};

const KeysCase kKeyCases[] = {
    {"pressWithoutFocus", {Qt::Key_Return, Qt::Key_Space, Qt::Key_A}, 0},
    {"tabSkipsTheDisabled", {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab}, 4},
    {"tabWraps", {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab}, 1},
    {"backtabStartsAtTheLast", {Qt::Key_Backtab}, 4},
    {"arrowStartsAtTheFirst", {Qt::Key_Down}, 1},
    {"right", {Qt::Key_Tab, Qt::Key_Right}, 2},
    {"rightThenDown", {Qt::Key_Tab, Qt::Key_Right, Qt::Key_Down}, 4},
    {"nothingThatWay", {Qt::Key_Tab, Qt::Key_Left, Qt::Key_Up}, 1},
};

class KeySequence : public KeyNavigationTest, public ::testing::WithParamInterface<KeysCase> {};

TEST_P(KeySequence, MovesTheFocusAmongReachableButtons) {
    Keys(GetParam().keys);
    EXPECT_EQ(FocusedSlot(), GetParam().focused);
    EXPECT_EQ(dialog->CurrentPage(), L"a");
    EXPECT_TRUE(dialog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Keys, KeySequence, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyNavigationTest, EnterAndSpacePressTheFocusAndThePointerTakesTheLookBack) {
    Keys({Qt::Key_Tab, Qt::Key_Return});
    EXPECT_EQ(dialog->CurrentPage(), L"b");
    EXPECT_EQ(FocusedSlot(), 0) << "a new page starts without a focus";
    Keys({Qt::Key_Tab, Qt::Key_Space});
    EXPECT_EQ(dialog->CurrentPage(), L"a");
    EXPECT_EQ(FocusedSlot(), 0) << "the hidden page dropped the look";

    Keys({Qt::Key_Tab, Qt::Key_Tab});
    QTest::mouseMove(dialog->windowHandle(), kAside + QPoint(5, 0));
    EXPECT_EQ(FocusedSlot(), 0);
    Keys({Qt::Key_Return});
    EXPECT_EQ(dialog->CurrentPage(), L"a") << "an undrawn focus is not pressed";
    Keys({Qt::Key_Tab});
    EXPECT_EQ(FocusedSlot(), 2) << "the first key shows where the focus was";
}

} // namespace
