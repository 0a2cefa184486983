#include "ltf/gui/FxXmlReader.h"
#include "ltf/gui/CFxButton.h"
#include "ltf/gui/FxGeometry.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlParser.h"
#include "support/LtfException.h"

#include "GuiTestSupport.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace LTF::GUI;
using GuiTest::C;

namespace {

const Colour kBlue = C(0, 0, 255);
const Colour kRed = C(255, 0, 0);

class FxXmlReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        button = new CFxButton(&page);
        button->setGeometry(10, 20, 100, 50);
    }

    const LTF::Xml::XmlNode& Parse(const std::wstring& xml) {
        parser.reset(LTF::Xml::CreateXmlParser(0));
        parser->ParseString(xml);
        return *parser->GetDocument()->GetDocumentElement();
    }
    bool Read(const std::wstring& children, const std::wstring& tag = L"xmlbutton") {
        return button->ReadXml(&Parse(L"<" + tag + L">" + children + L"</" + tag + L">"));
    }
    void ApplyAttribute(const std::wstring& attributes) {
        button->ApplyAttribute(&Parse(L"<action " + attributes + L"/>"));
    }
    FxButtonModel& M() { return button->Model(); }

    QWidget page;
    CFxButton* button = nullptr;
    std::unique_ptr<LTF::Xml::XmlParser> parser;
};

struct ReadCase {
    const char* name;
    const wchar_t* xml;
    std::function<void(FxButtonModel&)> check;
};

// The name a rejected configuration's exception gives.
template <typename Exception> std::wstring Rejected(const std::function<void()>& read) {
    try {
        read();
    } catch (const Exception& e) {
        return e.attributeName();
    }
    return L"(accepted)";
}

template <typename T>
std::function<void(FxButtonModel&)> Is(PerState<T> FxButtonModel::*field, PerState<T> expected) {
    return [=](FxButtonModel& m) { EXPECT_EQ(m.*field, expected); };
}

} // namespace

TEST_F(FxXmlReaderTest, PerStateElementsUseReaderDefaultsAndUnsetValues) {
    using Model = FxButtonModel;
    const ReadCase cases[] = {
        {"colour default is unset", L"<bkcolour pushed='FF0000'/>",
         Is(&Model::bkColour, PerState<Colour>(kBlue, kRed, kBlue, kBlue))},
        {"bool default is stored in every state", L"<clippingmode over='yes'/>",
         Is(&Model::clippingMode, PerState<bool>(false, false, true, false))},
        {"update starts from the current values", L"<clippingmode update='true' over='0'/>",
         Is(&Model::clippingMode, PerState<bool>(true, true, false, true))},
        {"bordersize 2 is unset", L"<bordersize normal='2' over='5'/>",
         Is(&Model::borderSize, PerState<int>(7, 7, 5, 7))},
        {"int duplicate", L"<textsize normal='-20' duplicate='true'/>",
         Is(&Model::textSize, PerState<int>(-20))},
        {"text colour duplicate keeps disabled grey",
         L"<textcolour normal='FF0000' duplicate='1'/>",
         Is(&Model::textColour, PerState<Colour>(kRed, kRed, kRed, kBlue))},
        {"left alone keeps the start value", L"<textposition normal='left'/>",
         Is(&Model::textPosition, PerState<unsigned>(0x25))},
        {"left top", L"<textposition normal='left top' pushed='Bottom RIGHT'/>",
         Is(&Model::textPosition, PerState<unsigned>(0x20, 0x2A, 0x25, 0x25))},
        {"border effect markers", L"<bordereffect normal='down'/>",
         Is(&Model::borderEffect,
            PerState<unsigned>(kEffectDown, kEffectDown, kEffectUp, kEffectFlat))},
        {"text style words", L"<textstyle normal='Bold italic' duplicate='true'/>",
         Is(&Model::textStyle, PerState<unsigned>(0x60))},
        {"rectangles", L"<textrect normal='1,2,30,40' over='5 5'/>",
         Is(&Model::textRect,
            PerState<QRect>(QRect(1, 2, 29, 38), QRect(9, 9, 9, 9), QRect(9, 9, 9, 9),
                            QRect(9, 9, 9, 9)))}, // empty: kept
        {"clipping colour switches clipping on", L"<clippingmodecolour1 pushed='FF00FF'/>",
         [](FxButtonModel& m) {
             EXPECT_EQ(m.clippingMode, PerState<bool>(true)); // the sentinel, unchanged
             EXPECT_EQ(m.clippingColour1[ButtonState::Pushed], C(255, 0, 255));
         }},
        {"text EMPTY cannot be shown", L"<text normal='Play' pushed='EMPTY' duplicate='true'/>",
         Is(&Model::text, PerState<std::wstring>(L"Play"))},
        {"element names ignore case", L"<BkColour normal='FF0000'/>",
         Is(&Model::bkColour, PerState<Colour>(kRed, kBlue, kBlue, kBlue))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FxButtonModel& m = M();
        m.bkColour = m.textColour = PerState<Colour>(kBlue);
        m.clippingMode = PerState<bool>(true);
        m.borderSize = PerState<int>(7);
        m.textPosition = PerState<unsigned>(0x2A);
        m.textRect = PerState<QRect>(QRect(9, 9, 9, 9));
        EXPECT_TRUE(Read(c.xml));
        c.check(m);
    }
}

TEST_F(FxXmlReaderTest, ElementNamesAndUnsupportedChildren) {
    for (const wchar_t* tag : {L"xmlhyperlink", L"XMLImageLink", L"xmlbutton"}) {
        M().bkColour = PerState<Colour>(kBlue);
        EXPECT_TRUE(Read(L"<bkcolour normal='FF0000'/>", tag));
        EXPECT_EQ(M().bkColour[ButtonState::Normal], kRed);
    }
    M().bkColour = PerState<Colour>(kBlue);
    EXPECT_FALSE(Read(L"<bkcolour normal='FF0000'/>", L"button"));
    EXPECT_EQ(M().bkColour[ButtonState::Normal], kBlue);
    EXPECT_TRUE(Read(L""));

    struct Case {
        const wchar_t* children;
        const wchar_t* named;
    };
    for (const Case c :
         {Case{L"<bkcolour normal='FF0000'/><!-- note --><text normal='x'/>", L"#comment"},
          Case{L"<bkcolour normal='FF0000'/><Colour/>", L"Colour"}}) {
        M().bkColour = PerState<Colour>(kBlue);
        EXPECT_EQ(Rejected<UnsupportedAttributeException>([&] { Read(c.children); }), c.named);
        EXPECT_EQ(M().bkColour[ButtonState::Normal], kRed); // read before the bad child
    }
}

TEST_F(FxXmlReaderTest, PositionAndSize) {
    struct Case {
        const wchar_t* xml;
        QRect expected;
    };
    const Case cases[] = {
        {L"<position x='5' left='7'/>", QRect(7, 20, 103, 50)},
        {L"<position y='30' top='40'/>", QRect(10, 40, 100, 30)},
        {L"<position x='0' y='3'/>", QRect(0, 3, 100, 50)},
        {L"<size width='50'/>", QRect(10, 20, 50, 50)},
        {L"<size width='-1' height='abc' x=''/>", QRect(10, 20, 100, 50)},
        {L"<position left='1' top='2' right='31' bottom='22'/>", QRect(1, 2, 30, 20)},
        {L"<position x='100' width='10' height='5'/>", QRect(100, 20, 10, 5)},
    };
    for (const auto& c : cases) {
        button->setGeometry(10, 20, 100, 50);
        EXPECT_TRUE(Read(c.xml));
        EXPECT_EQ(button->geometry(), c.expected) << QString::fromWCharArray(c.xml).toStdString();
    }
}

TEST_F(FxXmlReaderTest, SoundTooltipAndCursorAttributes) {
    struct Missing {
        const wchar_t* xml;
        const wchar_t* named;
    };
    for (const Missing c :
         {Missing{L"<sound pushed='a.wav'/>", L"over"},
          Missing{L"<sound over='a.wav'/>", L"pushed"}, Missing{L"<sound/>", L"pushed"},
          Missing{L"<tooltip colour='FF0000'/>", L"text"}}) {
        EXPECT_EQ(Rejected<MissingAttributeException>([&] { Read(c.xml); }), c.named);
    }

    EXPECT_TRUE(Read(L"<sound pushed='click.wav' over=''/>"));
    EXPECT_TRUE(M().sounds.on);
    EXPECT_EQ(M().sounds.pushed, L"click.wav");
    EXPECT_TRUE(Read(L"<sound pushed='' over=''/>"));
    EXPECT_FALSE(M().sounds.on);

    std::wstring text;
    Colour fore = 0, back = 0;
    EXPECT_TRUE(Read(L"<tooltip text=''/>"));
    EXPECT_FALSE(button->GetTooltip(text, fore, back));
    const Colour initialBack = M().tooltip.bgColour;
    EXPECT_TRUE(Read(L"<tooltip text='Start the game' colour='FF0000'/>"));
    ASSERT_TRUE(button->GetTooltip(text, fore, back));
    EXPECT_EQ(text, L"Start the game");
    EXPECT_EQ(fore, kRed);
    EXPECT_EQ(back, initialBack);
    ASSERT_NE(button->Tooltip(), nullptr);
    EXPECT_EQ(button->Tooltip()->text(), "Start the game");

    struct CursorCase {
        const wchar_t* xml;
        std::optional<Qt::CursorShape> shape;
    };
    const CursorCase cursors[] = {
        {L"<systemcursor system='IDC_HAND'/>", Qt::PointingHandCursor},
        {L"<systemcursor system='#32513'/>", Qt::IBeamCursor},
        {L"<systemcursor id='32649'/>", Qt::PointingHandCursor},
        {L"<systemcursor id='98050'/>", Qt::WaitCursor}, // low 16 bits: 32514
        {L"<systemcursor system='IDC_IBEAM' id='32649'/>", Qt::PointingHandCursor},
        {L"<systemcursor system='nonsense'/>", std::nullopt},
    };
    for (const auto& c : cursors) {
        EXPECT_TRUE(Read(c.xml));
        EXPECT_EQ(M().cursor, c.shape) << QString::fromWCharArray(c.xml).toStdString();
        // The button's own: Qt shows it while the pointer is over the button.
        EXPECT_EQ(button->testAttribute(Qt::WA_SetCursor), c.shape.has_value());
        EXPECT_EQ(button->cursor().shape(), c.shape.value_or(Qt::ArrowCursor));
    }
}

TEST_F(FxXmlReaderTest, FailedBitmapMakesEveryLaterReadFalse) {
    GuiTest::ImageFiles files;
    const std::wstring good = files.Save("good.bmp", GuiTest::Filled(4, 4, Qt::red));
    EXPECT_TRUE(Read(L"<bitmap normal='" + good + L"' duplicate='true'/>"));
    EXPECT_FALSE(Read(L"<bitmap over='" + good + L".none'/>"));
    EXPECT_EQ(M().bitmap[ButtonState::Over], M().bitmap[ButtonState::Normal]);
    EXPECT_FALSE(Read(L"<bitmap normal='" + good + L"'/>"));
}

TEST_F(FxXmlReaderTest, ApplyAttributeStartsFromCurrentValues) {
    M().clippingMode = PerState<bool>(true);
    ApplyAttribute(L"attribute='ClippingMode' over='false'");
    EXPECT_EQ(M().clippingMode, PerState<bool>(true, true, false, true));

    M().textColour = PerState<Colour>(kBlue);
    ApplyAttribute(L"attribute='textcolour' pushed='FF0000' update='false'");
    EXPECT_EQ(M().textColour, PerState<Colour>(kBlue, kRed, kBlue, kBlue));

    ApplyAttribute(L"attribute='size' width='30'");
    EXPECT_EQ(button->width(), 30);

    EXPECT_EQ(Rejected<UnsupportedAttributeException>(
                  [&] { ApplyAttribute(L"attribute='Sparkle' normal='1'"); }),
              L"Sparkle");
}

TEST_F(FxXmlReaderTest, BorderEffectOnACheckedCheckBoxRecomputesAndUnchecks) {
    button->Attach(0x3);
    button->Prepare(nullptr, 0, -1, 1);
    EXPECT_EQ(button->GetCheck(), 1);
    M().bkColour = PerState<Colour>(C(100, 100, 100));
    ApplyAttribute(L"attribute='bordereffect' normal='down'");
    EXPECT_EQ(button->GetCheck(), 0);
    EXPECT_EQ(button->Derived().borderColours[ButtonState::Normal],
              FxGeometry::BorderColours(C(100, 100, 100), kEffectDown));
    // The temporary modes are put back.
    EXPECT_EQ(M().clippingMode, PerState<bool>(false));
    EXPECT_EQ(M().transparencyMode, PerState<bool>(false));
}

TEST_F(FxXmlReaderTest, EmptyAttributesCountAsPresent) {
    struct Case {
        const wchar_t* xml;
        const wchar_t* name;
        bool present;
    };
    const Case cases[] = {
        {L"<sound pushed='' over=''/>", L"over", true},
        {L"<sound pushed = \"\"/>", L"pushed", true},
        {L"<sound over='a pushed=b'/>", L"pushed", false},
        {L"<sound xpushed=''/>", L"pushed", false},
        {L"<tooltip>text='x'</tooltip>", L"text", false},
        {L"<tooltip a='&quot;' text=''><b text=''/></tooltip>", L"text", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasAttribute(Parse(c.xml), c.name), c.present)
            << QString::fromWCharArray(c.xml).toStdString();
}
