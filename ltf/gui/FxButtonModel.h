#pragma once

#include "ltf/gui/FxTypes.h"

#include <QImage>
#include <QPalette>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace LTF::GUI {

// The platform colours the attributes start from and compare against.
struct SystemColours {
    Colour face = MakeColour(240, 240, 240);
    Colour text = MakeColour(0, 0, 0);
    Colour grey = MakeColour(109, 109, 109);
    Colour tipText = MakeColour(0, 0, 0);
    Colour tipBackground = MakeColour(255, 255, 225);

    static SystemColours FromPalette(const QPalette& palette);
};

struct SoundSettings {
    bool filesMode = false;
    std::wstring pushed;
    std::wstring over;
    bool on = false;
    bool async = false;
};

struct TooltipSettings {
    bool exists = false; // the tooltip is created on first non-empty text
    std::wstring text;
    Colour colour = 0;
    Colour bgColour = 0;
};

// Element switches; the background fill switch is bkColourMode and the bitmap switch hasBitmap.
struct ElementSwitches {
    bool text = true;
    bool border = true;
    bool focus = true;
};

using BitmapPtr = std::shared_ptr<const QImage>;

// What a button looks like per state, and the rules by which configuration values are stored.
class FxButtonModel {
public:
    PerState<bool> clippingMode;
    PerState<Colour> clippingColour1;
    PerState<Colour> clippingColour2;
    PerState<bool> invertRegion;
    PerState<Colour> bkColour;
    PerState<bool> bkColourMode;
    PerState<int> borderSize;
    PerState<bool> borderColourMode;
    PerState<unsigned> borderEffect;
    PerState<std::wstring> bitmapFile;
    PerState<QRect> bitmapRect;
    PerState<unsigned> bitmapPosition;
    PerState<Colour> transparencyColour1;
    PerState<Colour> transparencyColour2;
    PerState<bool> transparencyMode;
    PerState<int> transparency;
    PerState<bool> bitmapEffect;
    PerState<std::wstring> text;
    PerState<QRect> textRect;
    PerState<unsigned> textPosition;
    PerState<std::wstring> textFont;
    PerState<int> textSize;
    PerState<Colour> textColour;
    PerState<unsigned> textStyle;
    PerState<bool> textEffect;

    PerState<BitmapPtr> bitmap;
    bool hasBitmap = false;
    bool bitmapFailed = false; // never cleared: the page builder asks after every read
    SoundSettings sounds;
    std::optional<Qt::CursorShape> cursor;
    TooltipSettings tooltip;
    ElementSwitches switches;

    ButtonKind kind = ButtonKind::PushButton;
    bool pushLike = false;
    bool leftText = false;
    SystemColours system;

    // Called after every store; the button repaints once it is prepared.
    std::function<void()> changed;

    bool IsPushStyle() const { return kind == ButtonKind::PushButton || pushLike; }

    // Kind from the window style, then every attribute's value before any configuration.
    void Attach(std::uint32_t style, const std::wstring& caption, const std::wstring& fontFace,
                int fontHeight, const SystemColours& colours);
    // The page's baseline before each of its buttons reads its element.
    void ApplyDefaultAppearance(const std::wstring& clickSound);

    // Store rules: a value equal to the kind's unset value is not stored; with duplicate the
    // kind's fill states that hold it take the normal state's value.
    void StoreAll(PerState<bool> FxButtonModel::*field, PerState<bool> values, bool duplicate);
    void StoreAll(PerState<unsigned> FxButtonModel::*field, PerState<unsigned> values,
                  bool duplicate);
    void StoreClippingColour1(PerState<Colour> values, bool duplicate);
    void StoreFaceColour(PerState<Colour> FxButtonModel::*field, PerState<Colour> values,
                         bool duplicate);
    void StoreTransparencyColour(int which, PerState<Colour> values, bool duplicate);
    void StoreInt(PerState<int> FxButtonModel::*field, int unset, PerState<int> values,
                  bool duplicate);
    void StoreTextColour(PerState<Colour> values, bool duplicate);
    void StoreTextFont(PerState<std::wstring> values, bool duplicate);
    void StoreText(PerState<std::wstring> values, bool duplicate);
    void StoreRect(PerState<QRect> FxButtonModel::*field, PerState<QRect> values, bool duplicate);
    void StoreBorderEffect(PerState<unsigned> values, bool duplicate);
    void StoreTextStyle(PerState<unsigned> values, bool duplicate);
    void StoreBitmaps(const PerState<std::wstring>& files, bool duplicate);

    void SetSounds(const std::wstring& pushed, const std::wstring& over);
    void SetTooltip(const std::wstring& text, std::optional<Colour> colour,
                    std::optional<Colour> bgColour);

    unsigned BuiltInEffect(int index) const;
    int LargestBorder() const;

private:
    void Changed() const;
};

// Loads BMP, PNG (keeping its alpha) or JPEG through case-insensitive name resolution; an
// unchanged file already loaded is shared.
BitmapPtr LoadBitmapFile(const std::wstring& file);

} // namespace LTF::GUI
