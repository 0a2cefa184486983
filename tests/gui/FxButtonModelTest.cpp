#include "ltf/gui/FxButtonModel.h"

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace LTF::GUI;
using GuiTest::C;

namespace {

const Colour kFace = C(240, 240, 240);
const Colour kText = C(0, 0, 0);
const Colour kGrey = C(109, 109, 109);
const Colour kRed = C(255, 0, 0);
const Colour kBlue = C(0, 0, 255);

FxButtonModel Attached(std::uint32_t style = 0) {
    FxButtonModel model;
    model.Attach(style, L"Caption", L"Sans", -12, SystemColours{kFace, kText, kGrey});
    return model;
}

} // namespace

TEST(FxButtonModel, KindAndKindDependentStartValuesFromStyle) {
    struct Case {
        std::uint32_t style;
        ButtonKind kind;
        bool pushLike;
        PerState<unsigned> effect;
        unsigned textPosition;
    };
    const PerState<unsigned> push(kEffectUp, kEffectDown, kEffectUp, kEffectUp);
    const PerState<unsigned> flat(kEffectFlat);
    const Case cases[] = {
        {0x0, ButtonKind::PushButton, false, push, 0x25},
        {0x1, ButtonKind::PushButton, false, push, 0x25},
        {0x3, ButtonKind::CheckBox, false, flat, 0x24},
        {0x9, ButtonKind::RadioButton, false, flat, 0x24},
        {0xB, ButtonKind::RadioButton, false, flat, 0x24}, // radio is tested last and wins
        {0x1003, ButtonKind::CheckBox, true, push, 0x25},
        {0x1009, ButtonKind::RadioButton, true, push, 0x25},
    };
    for (const auto& c : cases) {
        const FxButtonModel model = Attached(c.style);
        EXPECT_EQ(model.kind, c.kind) << c.style;
        EXPECT_EQ(model.pushLike, c.pushLike) << c.style;
        EXPECT_EQ(model.borderEffect, c.effect) << c.style;
        EXPECT_EQ(model.textPosition, PerState<unsigned>(c.textPosition)) << c.style;
    }
    // Left text (0x20) and the border of 2 show in FxButtonPixelTest's glyph and placement.
    const FxButtonModel model = Attached(0x20);
    EXPECT_EQ(model.text, PerState<std::wstring>(L"Caption"));
    EXPECT_EQ(model.textSize, PerState<int>(-12));
    EXPECT_EQ(model.textColour, PerState<Colour>(kText, kText, kText, kGrey));
}

TEST(FxButtonModel, StoreRules) {
    // Each store starts from a freshly attached model and tells its owner of the change.
    const auto stored = [](const std::function<void(FxButtonModel&)>& store) {
        FxButtonModel model = Attached();
        int changes = 0;
        model.changed = [&] { ++changes; };
        store(model);
        EXPECT_GE(changes, 1);
        model.changed = {};
        return model;
    };
    // Clipping colour 1's duplicate fills normal's into every state.
    FxButtonModel m = stored([](auto& m) {
        m.StoreClippingColour1({kRed, kFace, kBlue, kFace}, true);
    });
    EXPECT_EQ(m.clippingColour1, PerState<Colour>(kRed, kRed, kBlue, kRed));
    EXPECT_EQ(m.clippingMode, PerState<bool>(true));
    // Transparency colour 1 switches transparency on; colour 2 switches nothing.
    m = stored([](auto& m) { m.StoreTransparencyColour(1, {kRed, kFace, kFace, kFace}, true); });
    EXPECT_EQ(m.transparencyColour1, PerState<Colour>(kRed));
    EXPECT_EQ(m.transparencyMode, PerState<bool>(true));
    m = stored([](auto& m) { m.StoreTransparencyColour(2, PerState<Colour>(kRed), false); });
    EXPECT_EQ(m.transparencyColour2, PerState<Colour>(kRed));
    EXPECT_EQ(m.transparencyMode, PerState<bool>(false));
    // The border effect's duplicate of an unset normal leaves the marker.
    m = stored([](auto& m) {
        m.StoreBorderEffect({kUnsetMarker, kUnsetMarker, kEffectFlat, kUnsetMarker}, true);
    });
    EXPECT_EQ(m.borderEffect,
              PerState<unsigned>(kEffectUp, kUnsetMarker, kEffectFlat, kUnsetMarker));
    // The text style's duplicate copies normal's value.
    m = stored([](auto& m) {
        m.StoreTextStyle({kStyleBold, kUnsetMarker, kStyleItalic, kUnsetMarker}, true);
    });
    EXPECT_EQ(m.textStyle, PerState<unsigned>(kStyleBold, kStyleBold, kStyleItalic, kStyleBold));
}

TEST(FxButtonModel, DefaultAppearanceResetsTheListedAttributesOnly) {
    FxButtonModel model = Attached();
    model.textColour[ButtonState::Disabled] = kRed;
    model.textEffect = PerState<bool>(false);
    model.textRect = PerState<QRect>(QRect(0, 0, 4, 4));
    model.ApplyDefaultAppearance(L"click.wav");
    EXPECT_EQ(model.transparencyColour1, PerState<Colour>(C(0x66, 0xFF, 0x33)));
    EXPECT_EQ(model.transparencyColour2, PerState<Colour>(C(0xFF, 0x00, 0xFF)));
    EXPECT_EQ(model.transparencyMode, PerState<bool>(false));
    EXPECT_EQ(model.clippingColour2, PerState<Colour>(kFace));
    EXPECT_EQ(model.bkColour, PerState<Colour>(0));
    EXPECT_EQ(model.borderSize, PerState<int>(0));
    EXPECT_EQ(model.borderColourMode, PerState<bool>(false));
    EXPECT_EQ(model.textColour, PerState<Colour>(kText, kText, kText, kRed));
    EXPECT_EQ(model.textStyle, PerState<unsigned>(kUnsetMarker));
    EXPECT_EQ(model.textSize, PerState<int>(11));
    EXPECT_EQ(model.text, PerState<std::wstring>(L""));
    EXPECT_TRUE(model.sounds.on);
    EXPECT_EQ(model.sounds.pushed, L"click.wav");
    EXPECT_FALSE(model.switches.focus);
    // Not on the list: carried over.
    EXPECT_EQ(model.textEffect, PerState<bool>(false));
    EXPECT_EQ(model.textRect, PerState<QRect>(QRect(0, 0, 4, 4)));
}

TEST(FxButtonModel, BitmapsShareAndResolveWhateverTheLetterCase) {
    GuiTest::ImageFiles files;
    const std::wstring red = files.Save("red.bmp", GuiTest::Filled(4, 4, Qt::red));
    const std::wstring blue = files.Save("Blue.png", GuiTest::Filled(4, 4, Qt::blue));

    FxButtonModel model = Attached();
    model.StoreBitmaps({red, L"", L"", L""}, false);
    EXPECT_TRUE(model.bitmap[ButtonState::Normal]);
    EXPECT_FALSE(model.bitmap[ButtonState::Over]);
    EXPECT_TRUE(model.hasBitmap);

    model.StoreBitmaps({red, L"", L"", blue}, true);
    EXPECT_EQ(model.bitmap[ButtonState::Pushed], model.bitmap[ButtonState::Normal]);
    EXPECT_EQ(model.bitmap[ButtonState::Over], model.bitmap[ButtonState::Normal]);
    EXPECT_NE(model.bitmap[ButtonState::Disabled], model.bitmap[ButtonState::Normal]);
    EXPECT_FALSE(model.bitmapFailed);

    // Names written on Windows resolve case-insensitively. (A missing file, and the failure that
    // sticks, are in FxXmlReaderTest.)
    const auto before = model.bitmap[ButtonState::Over];
    std::wstring shouted = blue;
    shouted.replace(shouted.size() - 8, 8, L"BLUE.PNG");
    model.StoreBitmaps({L"", L"", shouted, L""}, false);
    EXPECT_NE(model.bitmap[ButtonState::Over], before);
}
