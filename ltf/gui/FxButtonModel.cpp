#include "ltf/gui/FxButtonModel.h"

#include "ltf/gui/BitmapCache.h"
#include "support/PathResolve.h"

#include <algorithm>

namespace LTF::GUI {

namespace {

constexpr unsigned kAllFill = 0xF;
constexpr unsigned kOthersFill = 0xE; // pushed, over, disabled
constexpr unsigned kNotDisabledFill = 0x7;

template <typename T>
unsigned StoreStates(PerState<T>& field, PerState<T> values, bool duplicate,
                     const PerState<T>& unset, unsigned fillMask) {
    if (duplicate) {
        for (int i = 0; i < 4; ++i) {
            if ((fillMask & (1u << i)) && values[i] == unset[i])
                values[i] = values[0];
        }
    }
    unsigned stored = 0;
    for (int i = 0; i < 4; ++i) {
        if (!(values[i] == unset[i])) {
            field[i] = values[i];
            stored |= 1u << i;
        }
    }
    return stored;
}

template <typename T> void StoreEvery(PerState<T>& field, PerState<T> values, bool duplicate) {
    if (duplicate)
        values = PerState<T>(values[0]);
    field = values;
}

// The normal state stores an unset marker as a replacement; the others, with duplicate, take
// normal's value as given (so an unset normal leaves the marker in them).
void StoreMarked(PerState<unsigned>& field, const PerState<unsigned>& values, bool duplicate,
                 const PerState<unsigned>& replacement) {
    for (int i = 0; i < 4; ++i) {
        unsigned v = values[i];
        if (i > 0 && duplicate && v == kUnsetMarker)
            v = values[0];
        else if (v == kUnsetMarker)
            v = replacement[i];
        field[i] = v;
    }
}

} // namespace

SystemColours SystemColours::FromPalette(const QPalette& palette) {
    SystemColours c;
    c.face = FromQColor(palette.color(QPalette::Active, QPalette::Button));
    c.text = FromQColor(palette.color(QPalette::Active, QPalette::ButtonText));
    c.grey = FromQColor(palette.color(QPalette::Disabled, QPalette::ButtonText));
    c.tipText = FromQColor(palette.color(QPalette::Active, QPalette::ToolTipText));
    c.tipBackground = FromQColor(palette.color(QPalette::Active, QPalette::ToolTipBase));
    return c;
}

void FxButtonModel::Attach(std::uint32_t style, const std::wstring& caption,
                           const std::wstring& fontFace, int fontHeight,
                           const SystemColours& colours) {
    kind = ButtonKind::PushButton;
    if ((style & kStyleAutoCheckBox) == kStyleAutoCheckBox)
        kind = ButtonKind::CheckBox;
    if ((style & kStyleAutoRadioButton) == kStyleAutoRadioButton)
        kind = ButtonKind::RadioButton;
    pushLike = (style & kStylePushLike) != 0;
    leftText = (style & kStyleLeftText) != 0;
    system = colours;

    clippingMode = PerState<bool>(false);
    clippingColour1 = clippingColour2 = PerState<Colour>(system.face);
    invertRegion = PerState<bool>(false);
    bkColour = PerState<Colour>(system.face);
    bkColourMode = PerState<bool>(true);
    borderSize = PerState<int>(2);
    borderColourMode = PerState<bool>(true);
    borderEffect = IsPushStyle() ? PerState<unsigned>(kEffectUp, kEffectDown, kEffectUp, kEffectUp)
                                 : PerState<unsigned>(kEffectFlat);
    bitmapFile = PerState<std::wstring>();
    bitmapRect = PerState<QRect>();
    bitmapPosition = PerState<unsigned>(kAlignCentreMiddle);
    transparencyColour1 = transparencyColour2 = PerState<Colour>(system.face);
    transparencyMode = PerState<bool>(false);
    transparency = PerState<int>(255);
    bitmapEffect = PerState<bool>(true);
    text = PerState<std::wstring>(caption);
    textRect = PerState<QRect>();
    textPosition = PerState<unsigned>(IsPushStyle() ? kAlignCentreMiddle : kAlignLeftMiddle);
    textFont = PerState<std::wstring>(fontFace);
    textSize = PerState<int>(fontHeight);
    textColour = PerState<Colour>(system.text, system.text, system.text, system.grey);
    textStyle = PerState<unsigned>(0);
    textEffect = PerState<bool>(true);

    bitmap = PerState<BitmapPtr>();
    hasBitmap = bitmapFailed = false;
    sounds = SoundSettings{};
    cursor.reset();
    tooltip = TooltipSettings{false, {}, system.tipText, system.tipBackground};
    switches = ElementSwitches{};
}

void FxButtonModel::ApplyDefaultAppearance(const std::wstring& clickSound) {
    bitmapEffect = PerState<bool>(true);
    bitmapPosition = PerState<unsigned>(kAlignCentreMiddle);
    transparency = PerState<int>(255);
    transparencyColour1 = PerState<Colour>(MakeColour(0x66, 0xFF, 0x33));
    transparencyColour2 = PerState<Colour>(MakeColour(0xFF, 0x00, 0xFF));
    transparencyMode = PerState<bool>(false);
    bkColour = PerState<Colour>(MakeColour(0, 0, 0));
    bkColourMode = PerState<bool>(true);
    borderColourMode = PerState<bool>(false);
    borderEffect = PerState<unsigned>(kEffectUp, kEffectDown, kEffectUp, kEffectUp);
    borderSize = PerState<int>(0);
    invertRegion = PerState<bool>(false);
    clippingColour1 = PerState<Colour>(MakeColour(0x66, 0xFF, 0x33));
    clippingColour2 = PerState<Colour>(system.face);
    clippingMode = PerState<bool>(false);
    SetSounds(clickSound, L"");
    text = PerState<std::wstring>(std::wstring());
    for (int i = 0; i < 3; ++i)
        textColour[i] = system.text;
    textFont = PerState<std::wstring>(std::wstring());
    textPosition = PerState<unsigned>(kAlignCentreMiddle);
    textStyle = PerState<unsigned>(kUnsetMarker);
    textSize = PerState<int>(11);
    switches.focus = false;
    Changed();
}

void FxButtonModel::StoreAll(PerState<bool> FxButtonModel::*field, PerState<bool> values,
                             bool duplicate) {
    StoreEvery(this->*field, values, duplicate);
    Changed();
}

void FxButtonModel::StoreAll(PerState<unsigned> FxButtonModel::*field, PerState<unsigned> values,
                             bool duplicate) {
    StoreEvery(this->*field, values, duplicate);
    Changed();
}

void FxButtonModel::StoreClippingColour1(PerState<Colour> values, bool duplicate) {
    const unsigned stored =
        StoreStates(clippingColour1, values, duplicate, PerState<Colour>(system.face), kAllFill);
    for (int i = 0; i < 4; ++i) {
        if (stored & (1u << i))
            clippingMode[i] = true;
    }
    Changed();
}

void FxButtonModel::StoreFaceColour(PerState<Colour> FxButtonModel::*field, PerState<Colour> values,
                                    bool duplicate) {
    StoreStates(this->*field, values, duplicate, PerState<Colour>(system.face), kAllFill);
    Changed();
}

void FxButtonModel::StoreTransparencyColour(int which, PerState<Colour> values, bool duplicate) {
    PerState<Colour>& field = which == 1 ? transparencyColour1 : transparencyColour2;
    const unsigned stored =
        StoreStates(field, values, duplicate, PerState<Colour>(system.face), kOthersFill);
    for (int i = 0; which == 1 && i < 4; ++i) {
        if (stored & (1u << i))
            transparencyMode[i] = true;
    }
    Changed();
}

void FxButtonModel::StoreInt(PerState<int> FxButtonModel::*field, int unset, PerState<int> values,
                             bool duplicate) {
    StoreStates(this->*field, values, duplicate, PerState<int>(unset), kAllFill);
    Changed();
}

void FxButtonModel::StoreTextColour(PerState<Colour> values, bool duplicate) {
    const PerState<Colour> unset(system.text, system.text, system.text, system.grey);
    StoreStates(textColour, values, duplicate, unset, kNotDisabledFill);
    Changed();
}

void FxButtonModel::StoreTextFont(PerState<std::wstring> values, bool duplicate) {
    StoreStates(textFont, std::move(values), duplicate, PerState<std::wstring>(), kAllFill);
    Changed();
}

void FxButtonModel::StoreText(PerState<std::wstring> values, bool duplicate) {
    StoreStates(text, std::move(values), duplicate, PerState<std::wstring>(L"EMPTY"), kOthersFill);
    Changed();
}

void FxButtonModel::StoreRect(PerState<QRect> FxButtonModel::*field, PerState<QRect> values,
                              bool duplicate) {
    // An empty rectangle is the unset value; QRect's own null/empty notions differ, so test
    // emptiness rather than equality.
    PerState<QRect>& target = this->*field;
    for (int i = 0; i < 4; ++i) {
        if (values[i].isEmpty() && duplicate)
            values[i] = values[0];
        if (!values[i].isEmpty())
            target[i] = values[i];
    }
    Changed();
}

unsigned FxButtonModel::BuiltInEffect(int index) const {
    static constexpr unsigned builtIn[4] = {kEffectUp, kEffectDown, kEffectUp, kEffectFlat};
    return builtIn[index];
}

void FxButtonModel::StoreBorderEffect(PerState<unsigned> values, bool duplicate) {
    PerState<unsigned> replacement;
    for (int i = 0; i < 4; ++i)
        replacement[i] = BuiltInEffect(i);
    StoreMarked(borderEffect, values, duplicate, replacement);
    Changed();
}

void FxButtonModel::StoreTextStyle(PerState<unsigned> values, bool duplicate) {
    StoreMarked(textStyle, values, duplicate, PerState<unsigned>(0u));
    Changed();
}

void FxButtonModel::StoreBitmaps(const PerState<std::wstring>& files, bool duplicate) {
    for (int i = 0; i < 4; ++i) {
        if (files[i].empty())
            continue;
        bitmapFile[i] = files[i];
        if (BitmapPtr loaded = LoadBitmapFile(files[i])) {
            bitmap[i] = std::move(loaded);
            hasBitmap = true;
        } else {
            bitmapFailed = true;
        }
    }
    if (duplicate && bitmap[0]) {
        for (int i = 1; i < 4; ++i) {
            if (files[i].empty())
                bitmap[i] = bitmap[0];
        }
    }
    Changed();
}

void FxButtonModel::SetSounds(const std::wstring& pushed, const std::wstring& over) {
    if (pushed.empty() && over.empty()) {
        sounds.on = false;
    } else {
        sounds.pushed = pushed;
        sounds.over = over;
        sounds.filesMode = true;
        sounds.on = true;
        sounds.async = true;
    }
    Changed();
}

void FxButtonModel::SetTooltip(const std::wstring& tipText, std::optional<Colour> colour,
                               std::optional<Colour> bgColour) {
    tooltip.text = tipText;
    if (colour)
        tooltip.colour = *colour;
    if (bgColour)
        tooltip.bgColour = *bgColour;
    if (!tooltip.exists && !tipText.empty())
        tooltip.exists = true;
    Changed();
}

int FxButtonModel::LargestBorder() const {
    return std::max({borderSize[0], borderSize[1], borderSize[2], borderSize[3]});
}

void FxButtonModel::Changed() const {
    if (changed)
        changed();
}

BitmapPtr LoadBitmapFile(const std::wstring& file) {
    return BitmapCache::Process().Load(Vellmar::NativePath(file));
}

} // namespace LTF::GUI
