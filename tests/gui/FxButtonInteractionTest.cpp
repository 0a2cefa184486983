// The button as a person uses it: events go through the page's window so that Qt's own
// routing (grabs, masks, enter and leave) decides who receives them.
#include "ltf/gui/CFxButton.h"
#include "ltf/gui/DialogGroup.h"
#include "ltf/gui/FxAccessible.h"

#include "GuiTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace LTF::GUI;
using GuiTest::C;
using GuiTest::ColourNear;

namespace {

const QRect kButtonRect(10, 10, 100, 50);
const QPoint kInside = kButtonRect.topLeft() + QPoint(50, 25);
const QPoint kOutside(150, 80);
const QPoint kAside(195, 95); // off every button of every test
const QPoint kCentre(50, 25); // in button coordinates

const QColor kNormal = Qt::red;
const QColor kPushed = Qt::yellow;
const QColor kOver = Qt::blue;

enum class Kind : std::uint32_t {
    Push = 0,
    CheckBox = kStyleAutoCheckBox,
    Radio = kStyleAutoRadioButton
};

class FxButtonInteractionTest : public ::testing::Test {
protected:
    void SetUp() override { page.resize(200, 100); }

    CFxButton* AddButton(Kind kind = Kind::Push, QRect rect = kButtonRect) {
        auto* button = new CFxButton(&page, static_cast<std::uint32_t>(kind));
        button->setGeometry(rect);
        button->SetControlId(1000 + static_cast<int>(buttons.size()));
        button->SetSoundSink(&sounds);
        button->ApplyDefaultAppearance(L""); // as the page does: no focus frame over the skin
        const QSize size = rect.size();
        auto save = [&](const char* name, QColor colour) {
            return files.Save(name, GuiTest::Filled(size.width(), size.height(), colour));
        };
        button->Model().StoreBitmaps({save("normal.bmp", kNormal), save("pushed.bmp", kPushed),
                                      save("over.bmp", kOver), L""},
                                     false);
        button->Model().SetSounds(L"pushed.wav", L"over.wav");
        buttons.push_back(button);
        return button;
    }

    // As the page builder does it: prepare, then show.
    void ShowPage() {
        for (CFxButton* button : buttons)
            button->Prepare(nullptr, 0, -1, 0);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
        MoveTo(kAside);  // Qt drops a move to where the pointer already is
        QTest::qWait(5); // let the preparing moves' tracking requests run out
        sounds.played.clear();
    }

    QWindow* Window() { return page.windowHandle(); }
    void Press(QPoint at) { QTest::mousePress(Window(), Qt::LeftButton, {}, at); }
    void Release(QPoint at) { QTest::mouseRelease(Window(), Qt::LeftButton, {}, at); }
    void MoveTo(QPoint at) { QTest::mouseMove(Window(), at); }

    static QColor Pixel(CFxButton* button) { return button->grab().toImage().pixelColor(kCentre); }

    QWidget page;
    std::vector<CFxButton*> buttons;
    GuiTest::RecordingSoundSink sounds;
    GuiTest::ImageFiles files;
};

enum class Step { Press, Move, Release };
struct PathStep {
    Step step;
    QPoint at;
    std::optional<QColor> look = {}; // afterwards
};
struct PathCase {
    const char* name;
    std::vector<PathStep> steps;
    int clicks;
};

const PathCase kPaths[] = {
    {"click", {{Step::Press, kInside}, {Step::Release, kInside}}, 1},
    {"dragOut", {{Step::Press, kInside}, {Step::Move, kOutside}, {Step::Release, kOutside}}, 0},
    // Out of the button the pushed look goes, and comes back with the pointer.
    // clang-format off
    {"dragOutAndBack", {{Step::Press, kInside, kPushed}, {Step::Move, kOutside, kNormal},
                        {Step::Move, kInside, kPushed}, {Step::Release, kInside}}, 1},
    // clang-format on
    {"enterPressed", {{Step::Press, kOutside}, {Step::Move, kInside}, {Step::Release, kInside}}, 0},
};

class PointerPath : public FxButtonInteractionTest,
                    public ::testing::WithParamInterface<std::tuple<Kind, PathCase>> {};

TEST_P(PointerPath, ClicksAndCheckStateFollowThePress) {
    const auto& [kind, path] = GetParam();
    CFxButton* button = AddButton(kind);
    ShowPage();
    QSignalSpy clicks(button, &CFxButton::clickedControl);
    // The page's action may read the check state: it must be settled when the click arrives.
    int checkAtClick = -1;
    QObject::connect(button, &CFxButton::clickedControl,
                     [&] { checkAtClick = button->GetCheck(); });
    for (const auto& [step, at, look] : path.steps) {
        if (step == Step::Press)
            Press(at);
        else if (step == Step::Move)
            MoveTo(at);
        else
            Release(at);
        if (look) {
            EXPECT_TRUE(ColourNear(Pixel(button), *look)) << at.x() << "," << at.y();
        }
    }
    EXPECT_EQ(clicks.count(), path.clicks);
    const int expectedCheck = kind == Kind::Push ? 0 : path.clicks;
    EXPECT_EQ(button->GetCheck(), expectedCheck);
    if (path.clicks) {
        EXPECT_EQ(checkAtClick, expectedCheck);
    }
    EXPECT_FALSE(button->isDown());
}

std::string PathName(const ::testing::TestParamInfo<std::tuple<Kind, PathCase>>& info) {
    const auto& [kind, path] = info.param;
    const char* kinds[] = {"push_", "checkBox_", "radio_"};
    return kinds[kind == Kind::Push ? 0 : kind == Kind::CheckBox ? 1 : 2] + std::string(path.name);
}

INSTANTIATE_TEST_SUITE_P(KindsAndPaths, PointerPath,
                         ::testing::Combine(::testing::Values(Kind::Push, Kind::CheckBox,
                                                              Kind::Radio),
                                            ::testing::ValuesIn(kPaths)),
                         PathName);

// A drag whose press happened outside the application reaches the button directly.
TEST_F(FxButtonInteractionTest, ReleaseAfterAForeignPressNeitherClicksNorToggles) {
    CFxButton* check = AddButton(Kind::CheckBox);
    ShowPage();
    QSignalSpy clicks(check, &CFxButton::clickedControl);
    const QPointF local(kCentre);
    const QPointF global = check->mapToGlobal(local);
    QMouseEvent drag(QEvent::MouseMove, local, global, Qt::NoButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        {});
    QApplication::sendEvent(check, &drag);
    QApplication::sendEvent(check, &release);
    EXPECT_TRUE(check->Interaction().EnteredPressed());
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(check->GetCheck(), 0);
    EXPECT_TRUE(sounds.played.empty());
}

class DoubleClicks : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::MouseButtonDblClick;
        return false;
    }
};

// Each click toggles a check box (PointerPath), a double-click's two as well.
TEST_F(FxButtonInteractionTest, DoubleClickIsTwoClicksAndTwoPushedSounds) {
    CFxButton* push = AddButton(Kind::Push);
    ShowPage();
    DoubleClicks seen;
    push->installEventFilter(&seen);
    QSignalSpy clicks(push, &CFxButton::clickedControl);
    QTest::mouseDClick(Window(), Qt::LeftButton, {}, kInside);
    ASSERT_EQ(seen.count, 1); // the second press really came as a double-click
    EXPECT_EQ(clicks.count(), 2);
    // QTest moves onto the button first, which plays the over sound.
    EXPECT_EQ(std::count(sounds.played.begin(), sounds.played.end(), L"pushed.wav"), 2);
}

TEST_F(FxButtonInteractionTest, CheckingARadioButtonUnchecksItsGroupOnly) {
    std::vector<CFxButton*> radios;
    for (int i = 0; i < 4; ++i)
        radios.push_back(AddButton(Kind::Radio, QRect(5 + 48 * i, 10, 40, 40)));
    SetGroupStart(radios[0], true);
    SetGroupStart(radios[3], true); // a group of its own
    ShowPage();
    radios[3]->SetCheck(1);

    auto checks = [&] {
        QCoreApplication::processEvents(); // the unchecking is queued
        std::vector<int> states;
        for (CFxButton* radio : radios)
            states.push_back(radio->GetCheck());
        return states;
    };
    auto clickOn = [&](CFxButton* radio) {
        const QPoint at = radio->geometry().center();
        Press(at);
        Release(at);
    };
    clickOn(radios[0]);
    EXPECT_EQ(checks(), (std::vector<int>{1, 0, 0, 1}));
    clickOn(radios[2]);
    EXPECT_EQ(checks(), (std::vector<int>{0, 0, 1, 1}));
    clickOn(radios[2]); // a checked radio button stays checked
    EXPECT_EQ(checks(), (std::vector<int>{0, 0, 1, 1}));
    QTest::keyClick(radios[1], Qt::Key_Space);
    EXPECT_EQ(checks(), (std::vector<int>{0, 1, 0, 1}));
    CFxButton alone(nullptr, static_cast<std::uint32_t>(Kind::Radio)); // no page, no group
    alone.SetCheck(1);
    EXPECT_EQ(alone.GetCheck(), 1);
}

TEST_F(FxButtonInteractionTest, LosingFocusMidPressCancelsTheClick) {
    CFxButton* check = AddButton(Kind::CheckBox);
    auto* edit = new QLineEdit(&page);
    edit->setGeometry(120, 70, 70, 20);
    ShowPage();
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    QSignalSpy clicks(check, &CFxButton::clickedControl);
    Press(kInside);
    ASSERT_TRUE(check->hasFocus());
    edit->setFocus();
    EXPECT_FALSE(check->isDown());
    MoveTo(kInside + QPoint(1, 0));
    Release(kInside);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(check->GetCheck(), 0);
}

// The over look goes with the page whatever the platform reports about the pointer (with a leave:
// the tooltip test). That it comes with an enter that has no move (Wayland) tests/desktop shows.
TEST_F(FxButtonInteractionTest, HoverLookAndPressGoWithAHiddenPage) {
    CFxButton* button = AddButton();
    ShowPage();
    MoveTo(kInside);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ColourNear(Pixel(button), kOver); }, 1000));
    Press(kInside);
    button->SetKeyboardFocus(true);
    page.hide();
    page.show();
    EXPECT_FALSE(button->isDown());
    EXPECT_FALSE(button->KeyboardFocus());
    EXPECT_TRUE(ColourNear(Pixel(button), kNormal));
    Release(kAside);
}

TEST_F(FxButtonInteractionTest, PrepareAnnouncesTheOverSoundOnce) {
    CFxButton* button = AddButton();
    button->Prepare(nullptr, 0, -1, 0);
    EXPECT_EQ(sounds.played, std::vector<std::wstring>{L"over.wav"});
    sounds.played.clear();
    button->Model().SetSounds(L"pushed.wav", L""); // an empty name plays nothing
    button->Prepare(nullptr, 0, -1, 0);
    EXPECT_TRUE(sounds.played.empty());
}

// The tip window is made at the first hover, not before.
TEST_F(FxButtonInteractionTest, HoverShowsTheOverLookAndTheTooltipInItsColours) {
    CFxButton* button = AddButton();
    button->SetTooltip(L"Start the game", C(255, 0, 0), C(255, 255, 0));
    ShowPage();
    const auto shown = [&] {
        const auto* tip = button->findChild<FxTooltip*>();
        return tip && tip->isVisible();
    };
    EXPECT_FALSE(shown()); // the preparing move came from outside
    MoveTo(kInside);
    MoveTo(kInside + QPoint(1, 0));
    ASSERT_TRUE(QTest::qWaitFor(shown, 2000));
    FxTooltip* tip = button->Tooltip();
    tip->SetDelays(std::chrono::milliseconds(10), std::chrono::milliseconds(5000));
    EXPECT_EQ(tip->text(), "Start the game");
    const QImage image = tip->grab().toImage();
    EXPECT_TRUE(ColourNear(image.pixelColor(image.width() - 3, image.height() - 3), Qt::yellow));
    EXPECT_EQ(tip->palette().color(QPalette::WindowText), QColor(Qt::red));
    Press(kInside);
    EXPECT_FALSE(tip->isVisible());
    Release(kInside);
    MoveTo(kInside + QPoint(2, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tip->isVisible(); }, 1000));
    button->SetVisible(false); // the page hides its buttons on every build
    EXPECT_FALSE(tip->isVisible());
    button->SetVisible(true);

    button->SetTooltip(L"", std::nullopt, std::nullopt); // removes the tip
    MoveTo(kOutside);
    MoveTo(kInside);
    MoveTo(kInside + QPoint(1, 0));
    QTest::qWait(50);
    EXPECT_FALSE(tip->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ColourNear(Pixel(button), kOver); }, 1000));
    MoveTo(kOutside);
    EXPECT_TRUE(ColourNear(Pixel(button), kNormal)); // a leave takes the over look away
}

// The keyboard focus's over look is in KeyNavigationTest.
TEST_F(FxButtonInteractionTest, PressAndSpaceActLikeAClick) {
    CFxButton* check = AddButton(Kind::CheckBox);
    ShowPage();
    QSignalSpy clicks(check, &CFxButton::clickedControl);
    check->Press();
    EXPECT_EQ(check->GetCheck(), 1);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(sounds.played, std::vector<std::wstring>{L"pushed.wav"});
    QTest::keyClick(check, Qt::Key_Space); // Space toggles once, and clicks
    EXPECT_EQ(check->GetCheck(), 0);
    EXPECT_EQ(clicks.count(), 2);
    check->setEnabled(false);
    check->Press();
    EXPECT_EQ(clicks.count(), 2) << "a disabled button is not pressed";
}

TEST_F(FxButtonInteractionTest, AccessibleNameRoleAndCheckState) {
    struct Case {
        Kind kind;
        std::wstring caption, tip;
        QAccessible::Role role;
        QString name;
    };
    // A caption names a button before its tip does: AccessibilityTest.
    const Case cases[] = {{Kind::Push, L"", L"Close", QAccessible::Button, "Close"},
                          {Kind::CheckBox, L"Music", L"", QAccessible::CheckBox, "Music"},
                          {Kind::Radio, L"English", L"", QAccessible::RadioButton, "English"}};
    for (const Case& c : cases) {
        CFxButton* button = AddButton(c.kind);
        button->Model().text = PerState<std::wstring>(c.caption);
        if (!c.tip.empty())
            button->SetTooltip(c.tip, std::nullopt, std::nullopt);
        button->SetCheck(7);
        EXPECT_EQ(button->GetCheck(), c.kind == Kind::Push ? 0 : 1)
            << "a push button is never checked";
        FxButtonAccessible accessible(button);
        EXPECT_EQ(accessible.role(), c.role);
        EXPECT_EQ(accessible.text(QAccessible::Name), c.name);
        EXPECT_EQ(accessible.text(QAccessible::Description), QString::fromStdWString(c.tip));
        EXPECT_EQ(accessible.state().checked, c.kind != Kind::Push);
        EXPECT_EQ(accessible.state().checkable, c.kind != Kind::Push);
    }
}

} // namespace
