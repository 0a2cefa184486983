#include "ltf/gui/FxXmlReader.h"

#include "ltf/gui/CFxButton.h"
#include "ltf/gui/SystemCursor.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "support/Conversions.h"
#include "support/LtfException.h"
#include "support/Text.h"

#include <functional>
#include <map>

namespace LTF::GUI {

namespace {

using Texts = FxXmlReader::StateTexts;
using Xml::XmlNode;

// Each given text replaces its state's start value.
template <typename T, typename Converter>
PerState<T> Convert(const Texts& texts, PerState<T> start, Converter convert) {
    for (int i = 0; i < 4; ++i) {
        if (!texts.values[i].empty())
            start[i] = convert(texts.values[i]);
    }
    return start;
}

PerState<QRect> Rects(const Texts& texts) {
    PerState<QRect> rects;
    for (int i = 0; i < 4; ++i) {
        if (texts.values[i].empty())
            continue;
        const RECT r = wstring_to_RECT(texts.values[i]);
        rects[i] = QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    return rects;
}

// A word set of 0 keeps the start value.
PerState<unsigned> Words(const Texts& texts, PerState<unsigned> start, const NameTable& table) {
    for (int i = 0; i < 4; ++i) {
        const unsigned flags = wstring_to_flags(table, Vellmar::ToLower(texts.values[i]));
        if (flags != 0)
            start[i] = flags;
    }
    return start;
}

bool ToBool(const std::wstring& t) {
    return wstring_to_bool(t);
}
Colour ToColour(const std::wstring& t) {
    return wstring_to_COLORREF(t);
}
int ToInt(const std::wstring& t) {
    return wstring_to_int(t, 0);
}
std::wstring AsIs(const std::wstring& t) {
    return t;
}

// One per-state kind: how its texts become values and how they are stored. `current` says
// whether the start values are the button's own.
using KindReader = std::function<void(CFxButton&, const Texts&, bool current)>;

KindReader BoolKind(PerState<bool> FxButtonModel::*field, bool fallback) {
    return [=](CFxButton& b, const Texts& t, bool current) {
        FxButtonModel& m = b.Model();
        m.StoreAll(field, Convert(t, current ? m.*field : PerState<bool>(fallback), ToBool),
                   t.duplicate);
    };
}

KindReader PositionKind(PerState<unsigned> FxButtonModel::*field) {
    return [=](CFxButton& b, const Texts& t, bool current) {
        FxButtonModel& m = b.Model();
        const auto start = current ? m.*field : PerState<unsigned>(kAlignCentreMiddle);
        m.StoreAll(field, Words(t, start, AlignmentWords()), t.duplicate);
    };
}

KindReader ColourKind(PerState<Colour> FxButtonModel::*field,
                      std::function<void(FxButtonModel&, PerState<Colour>, bool)> store) {
    return [=](CFxButton& b, const Texts& t, bool current) {
        FxButtonModel& m = b.Model();
        store(m, Convert(t, current ? m.*field : PerState<Colour>(m.system.face), ToColour),
              t.duplicate);
    };
}

KindReader IntKind(PerState<int> FxButtonModel::*field, int unset) {
    return [=](CFxButton& b, const Texts& t, bool current) {
        FxButtonModel& m = b.Model();
        m.StoreInt(field, unset, Convert(t, current ? m.*field : PerState<int>(unset), ToInt),
                   t.duplicate);
    };
}

KindReader RectKind(PerState<QRect> FxButtonModel::*field) {
    return [=](CFxButton& b, const Texts& t, bool) {
        b.Model().StoreRect(field, Rects(t), t.duplicate);
    };
}

const std::map<std::wstring, KindReader>& PerStateKinds() {
    using M = FxButtonModel;
    static const std::map<std::wstring, KindReader> kinds = {
        {L"clippingmode", BoolKind(&M::clippingMode, false)},
        {L"invertregion", BoolKind(&M::invertRegion, false)},
        {L"bkcolourmode", BoolKind(&M::bkColourMode, false)},
        {L"bordercolourmode", BoolKind(&M::borderColourMode, true)},
        {L"bitmaptransparencymode", BoolKind(&M::transparencyMode, false)},
        {L"bitmapeffect", BoolKind(&M::bitmapEffect, false)},
        {L"texteffect", BoolKind(&M::textEffect, false)},
        {L"bitmapposition", PositionKind(&M::bitmapPosition)},
        {L"textposition", PositionKind(&M::textPosition)},
        {L"clippingmodecolour1",
         ColourKind(&M::clippingColour1,
                    [](M& m, PerState<Colour> v, bool d) { m.StoreClippingColour1(v, d); })},
        {L"clippingmodecolour2", ColourKind(&M::clippingColour2,
                                            [](M& m, PerState<Colour> v, bool d) {
                                                m.StoreFaceColour(&M::clippingColour2, v, d);
                                            })},
        {L"bkcolour",
         ColourKind(&M::bkColour, [](M& m, PerState<Colour> v,
                                     bool d) { m.StoreFaceColour(&M::bkColour, v, d); })},
        {L"bitmaptransparencycolor1",
         ColourKind(&M::transparencyColour1,
                    [](M& m, PerState<Colour> v, bool d) { m.StoreTransparencyColour(1, v, d); })},
        {L"bitmaptransparencycolor2",
         ColourKind(&M::transparencyColour2,
                    [](M& m, PerState<Colour> v, bool d) { m.StoreTransparencyColour(2, v, d); })},
        {L"bordersize", IntKind(&M::borderSize, 2)},
        {L"bitmaptransparency", IntKind(&M::transparency, 255)},
        {L"textsize", IntKind(&M::textSize, 11)},
        {L"bitmaprect", RectKind(&M::bitmapRect)},
        {L"textrect", RectKind(&M::textRect)},
        {L"textcolour",
         [](CFxButton& b, const Texts& t, bool current) {
             M& m = b.Model();
             const PerState<Colour> fallback(m.system.text, m.system.text, m.system.text,
                                             m.system.grey);
             m.StoreTextColour(Convert(t, current ? m.textColour : fallback, ToColour),
                               t.duplicate);
         }},
        {L"textfont",
         [](CFxButton& b, const Texts& t, bool current) {
             M& m = b.Model();
             m.StoreTextFont(Convert(t, current ? m.textFont : PerState<std::wstring>(), AsIs),
                             t.duplicate);
         }},
        {L"text",
         [](CFxButton& b, const Texts& t, bool current) {
             M& m = b.Model();
             m.StoreText(Convert(t, current ? m.text : PerState<std::wstring>(L"EMPTY"), AsIs),
                         t.duplicate);
         }},
        {L"bitmap",
         [](CFxButton& b, const Texts& t, bool current) {
             M& m = b.Model();
             m.StoreBitmaps(Convert(t, current ? m.bitmapFile : PerState<std::wstring>(), AsIs),
                            t.duplicate);
         }},
        {L"bordereffect",
         [](CFxButton& b, const Texts& t, bool current) {
             const auto start = current ? b.Model().borderEffect : PerState<unsigned>(kUnsetMarker);
             b.StoreBorderEffect(Words(t, start, EffectWords()), t.duplicate);
         }},
        {L"textstyle",
         [](CFxButton& b, const Texts& t, bool current) {
             M& m = b.Model();
             const auto start = current ? m.textStyle : PerState<unsigned>(kUnsetMarker);
             m.StoreTextStyle(Words(t, start, StyleWords()), t.duplicate);
         }},
    };
    return kinds;
}

// XML's own blanks; the process locale would add others.
bool IsXmlSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

} // namespace

bool HasAttribute(const XmlNode& element, const std::wstring& name) {
    if (!element.GetAttribute(name).empty())
        return true;
    // An empty value reads like a missing attribute; the serialised start tag tells them
    // apart. Names are read outside quoted values only.
    const std::wstring xml = element.GetXml();
    std::size_t i = 1; // past '<' and the element's name
    while (i < xml.size() && !IsXmlSpace(xml[i]) && xml[i] != L'>' && xml[i] != L'/')
        ++i;
    while (i != std::wstring::npos && i < xml.size() && xml[i] != L'>' && xml[i] != L'/') {
        while (i < xml.size() && IsXmlSpace(xml[i]))
            ++i;
        const std::size_t nameStart = i;
        while (i < xml.size() && xml[i] != L'=' && !IsXmlSpace(xml[i]) && xml[i] != L'>' &&
               xml[i] != L'/')
            ++i;
        const std::wstring found = xml.substr(nameStart, i - nameStart);
        while (i < xml.size() && IsXmlSpace(xml[i]))
            ++i;
        if (i >= xml.size() || xml[i] != L'=')
            return false;
        if (found == name)
            return true;
        i = xml.find_first_of(L"\"'", i);
        if (i == std::wstring::npos)
            return false;
        i = xml.find(xml[i], i + 1); // the closing quote
        if (i != std::wstring::npos)
            ++i;
    }
    return false;
}

std::vector<std::wstring> FxXmlReader::StateElementNames() {
    std::vector<std::wstring> names;
    for (const auto& entry : PerStateKinds())
        names.push_back(entry.first);
    return names;
}

Texts FxXmlReader::ReadStateTexts(const XmlNode& element) {
    Texts texts;
    for (int i = 0; i < 4; ++i)
        texts.values[i] = element.GetAttribute(StateAttributes()[static_cast<std::size_t>(i)]);
    const std::wstring duplicate = element.GetAttribute(L"duplicate");
    const std::wstring update = element.GetAttribute(L"update");
    texts.duplicate = !duplicate.empty() && wstring_to_bool(duplicate);
    texts.update = !update.empty() && wstring_to_bool(update);
    return texts;
}

bool FxXmlReader::ReadButton(const XmlNode& element) {
    if (!IsButtonElement(Vellmar::ToLower(element.GetName())))
        return false;
    bool result = true;
    const Xml::XmlNodeList* children = element.GetChildNodes();
    for (int i = 0; children && i < children->GetLength(); ++i) {
        const XmlNode* child = children->GetItem(i);
        if (!child)
            continue;
        Apply(child->GetName(), *child, false);
        result = !button.Model().bitmapFailed;
    }
    return result;
}

void FxXmlReader::ApplyAttribute(const XmlNode& element) {
    Apply(element.GetAttribute(L"attribute"), element, true);
}

void FxXmlReader::ReadElement(const XmlNode& element) {
    Apply(element.GetName(), element, false);
}

void FxXmlReader::Apply(const std::wstring& rawName, const XmlNode& element, bool applying) {
    const std::wstring name = Vellmar::ToLower(rawName);
    if (ApplyPerState(name, element, applying))
        return;
    if (name == L"position" || name == L"size")
        ReadPosition(element);
    else if (name == L"sound")
        ReadSound(element);
    else if (name == L"systemcursor")
        ReadCursor(element);
    else if (name == L"tooltip")
        ReadTooltip(element);
    else
        throw UnsupportedAttributeException(rawName);
}

bool FxXmlReader::ApplyPerState(const std::wstring& name, const XmlNode& element, bool applying) {
    const auto& kinds = PerStateKinds();
    const auto kind = kinds.find(name);
    if (kind == kinds.end())
        return false;
    const Texts texts = ReadStateTexts(element);
    kind->second(button, texts, applying || texts.update);
    return true;
}

void FxXmlReader::ReadPosition(const XmlNode& element) {
    button.MoveWindow(PlacedRect(button.WindowRect(), element));
}

void FxXmlReader::ReadSound(const XmlNode& element) {
    for (const wchar_t* required : {L"pushed", L"over"}) {
        if (!HasAttribute(element, required))
            throw MissingAttributeException(required);
    }
    button.Model().SetSounds(element.GetAttribute(L"pushed"), element.GetAttribute(L"over"));
}

void FxXmlReader::ReadCursor(const XmlNode& element) {
    std::optional<Qt::CursorShape> shape;
    const std::wstring system = element.GetAttribute(L"system");
    const std::wstring id = element.GetAttribute(L"id");
    if (!system.empty())
        shape = SystemCursorByName(system);
    if (!id.empty())
        shape = SystemCursorById(wstring_to_uint(id, 0) & 0xFFFF);
    button.SetCursorShape(shape);
}

void FxXmlReader::ReadTooltip(const XmlNode& element) {
    if (!HasAttribute(element, L"text"))
        throw MissingAttributeException(L"text");
    auto colour = [&](const wchar_t* name) -> std::optional<Colour> {
        const std::wstring text = element.GetAttribute(name);
        return text.empty() ? std::nullopt : std::optional<Colour>(wstring_to_COLORREF(text));
    };
    const std::optional<Colour> fore = colour(L"colour");
    const std::optional<Colour> back = colour(L"bgcolour");
    button.SetTooltip(element.GetAttribute(L"text"), fore, back);
}

} // namespace LTF::GUI
