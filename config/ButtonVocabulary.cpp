#include "config/ButtonVocabulary.h"

#include "ltf/xml/XmlNode.h"
#include "support/Conversions.h"

namespace LTF::GUI {

const NameTable& AlignmentWords() {
    static const NameTable words = {
        {L"left", kAlignLeft},          {L"center", kAlignCenter}, {L"right", kAlignRight},
        {L"top", kAlignSingleLine},     {L"middle", 0x24},         {L"bottom", 0x28},
        {L"multiline", kAlignWordBreak}};
    return words;
}

const NameTable& EffectWords() {
    static const NameTable words = {
        {L"flat", kEffectFlat}, {L"up", kEffectUp}, {L"down", kEffectDown}};
    return words;
}

const NameTable& StyleWords() {
    static const NameTable words = {{L"bold", kStyleBold},
                                    {L"italic", kStyleItalic},
                                    {L"underline", kStyleUnderline},
                                    {L"strikeout", kStyleStrikeOut}};
    return words;
}

const std::vector<StateKind>& StateKinds() {
    using V = StateValue;
    static const std::vector<StateKind> kinds = {
        {L"clippingmode", V::Bool, nullptr},
        {L"invertregion", V::Bool, nullptr},
        {L"bkcolourmode", V::Bool, nullptr},
        {L"bordercolourmode", V::Bool, nullptr},
        {L"bitmaptransparencymode", V::Bool, nullptr},
        {L"bitmapeffect", V::Bool, nullptr},
        {L"texteffect", V::Bool, nullptr},
        {L"bitmapposition", V::Words, &AlignmentWords()},
        {L"textposition", V::Words, &AlignmentWords()},
        {L"clippingmodecolour1", V::Colour, nullptr},
        {L"clippingmodecolour2", V::Colour, nullptr},
        {L"bkcolour", V::Colour, nullptr},
        {L"bitmaptransparencycolor1", V::Colour, nullptr},
        {L"bitmaptransparencycolor2", V::Colour, nullptr},
        {L"bordersize", V::Integer, nullptr},
        {L"bitmaptransparency", V::Integer, nullptr},
        {L"textsize", V::Integer, nullptr},
        {L"bitmaprect", V::Rect, nullptr},
        {L"textrect", V::Rect, nullptr},
        {L"textcolour", V::Colour, nullptr},
        {L"textfont", V::FontName, nullptr},
        {L"text", V::StringName, nullptr},
        {L"bitmap", V::File, nullptr},
        {L"bordereffect", V::Words, &EffectWords()},
        {L"textstyle", V::Words, &StyleWords()},
    };
    return kinds;
}

const StateKind* FindStateKind(const std::wstring& lowerName) {
    for (const StateKind& kind : StateKinds()) {
        if (lowerName == kind.name)
            return &kind;
    }
    return nullptr;
}

const std::vector<std::wstring>& StateAttributes() {
    static const std::vector<std::wstring> names = {L"normal", L"pushed", L"over", L"disabled"};
    return names;
}

bool IsStateSwitch(const std::wstring& name) {
    return name == L"duplicate" || name == L"update";
}

const std::vector<std::wstring>& MuteBitmapAttributes() {
    static const std::vector<std::wstring> names = {L"dissabled", L"normalmute", L"pushedmute",
                                                    L"overmute", L"dissabledmute"};
    return names;
}

bool IsWholeButtonElement(const std::wstring& lowerName) {
    return lowerName == L"position" || lowerName == L"size" || lowerName == L"sound" ||
           lowerName == L"systemcursor" || lowerName == L"tooltip";
}

bool IsButtonElement(const std::wstring& lowerName) {
    return lowerName == L"xmlbutton" || lowerName == L"xmlhyperlink" ||
           lowerName == L"xmlimagelink";
}

RECT PlacedRect(RECT r, const LTF::Xml::XmlNode& element) {
    const auto given = [&](const wchar_t* name) {
        return wstring_to_int(element.GetAttribute(name), -1);
    };
    const int top = given(L"top"), left = given(L"left"), bottom = given(L"bottom"),
              right = given(L"right"), x = given(L"x"), y = given(L"y"), width = given(L"width"),
              height = given(L"height");
    if (top != -1)
        r.top = top;
    if (left != -1)
        r.left = left;
    if (bottom != -1)
        r.bottom = bottom;
    if (right != -1)
        r.right = right;
    if (y != -1 && top == -1)
        r = {r.left, y, r.right, y + (r.bottom - r.top)};
    if (x != -1 && left == -1)
        r = {x, r.top, x + (r.right - r.left), r.bottom};
    if (width != -1)
        r.right = r.left + width;
    if (height != -1)
        r.bottom = r.top + height;
    return r;
}

} // namespace LTF::GUI
