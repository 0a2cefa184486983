#pragma once

#include "support/WinTypes.h"

namespace LTF::Xml {
class XmlNode;
}

#include <string>
#include <vector>

// The words a button description may use, shared by the button reader and the configuration
// checker so that the two can never disagree.
namespace LTF::GUI {

// Border effects and the marker the reader uses for "not given".
constexpr unsigned kEffectFlat = 257;
constexpr unsigned kEffectUp = 258;
constexpr unsigned kEffectDown = 259;
constexpr unsigned kUnsetMarker = 0x8000;

// Text-drawing format flags used by bitmapposition and textposition.
constexpr unsigned kAlignLeft = 0x0;
constexpr unsigned kAlignCenter = 0x1;
constexpr unsigned kAlignRight = 0x2;
constexpr unsigned kAlignVCenter = 0x4;
constexpr unsigned kAlignBottom = 0x8;
constexpr unsigned kAlignWordBreak = 0x10;
constexpr unsigned kAlignSingleLine = 0x20;
constexpr unsigned kAlignCentreMiddle = 0x25;
constexpr unsigned kAlignLeftMiddle = 0x24;

constexpr unsigned kStyleBold = 0x20;
constexpr unsigned kStyleItalic = 0x40;
constexpr unsigned kStyleUnderline = 0x80;
constexpr unsigned kStyleStrikeOut = 0x100;

const NameTable& AlignmentWords();
const NameTable& EffectWords();
const NameTable& StyleWords();

// How the texts of a per-state element are converted.
enum class StateValue { Bool, Colour, Integer, Words, Rect, StringName, FontName, File };

struct StateKind {
    const wchar_t* name;
    StateValue value;
    const NameTable* words; // for Words
};

// Every per-state element (`normal`, `pushed`, `over`, `disabled` attributes), by name.
const std::vector<StateKind>& StateKinds();
const StateKind* FindStateKind(const std::wstring& lowerName);
// `position`, `size`, `sound`, `systemcursor`, `tooltip`.
bool IsWholeButtonElement(const std::wstring& lowerName);
// The four state attributes of a per-state element, and the two switches.
const std::vector<std::wstring>& StateAttributes();
bool IsStateSwitch(const std::wstring& name);
// Files the `system` action with `mute` reads from its button's `bitmap` element, besides the
// state attributes (the spelling "dissabled" is what configurations carry).
const std::vector<std::wstring>& MuteBitmapAttributes();
// `xmlbutton`, `xmlhyperlink`, `xmlimagelink`.
bool IsButtonElement(const std::wstring& lowerName);
// A button's window rectangle after a `position` or `size` element: the edges it names, then
// x and y moving the rectangle at its size, then width and height from the top-left corner.
RECT PlacedRect(RECT current, const LTF::Xml::XmlNode& element);

} // namespace LTF::GUI
