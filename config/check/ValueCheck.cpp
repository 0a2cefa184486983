#include "config/check/ValueCheck.h"

#include "config/ButtonVocabulary.h"
#include "engine/EngineText.h"
#include "ltf/xml/XmlNode.h"
#include "support/Conversions.h"
#include "support/Text.h"

#include <cwctype>

namespace Vellmar::Check {

using LTF::Xml::XmlNode;

namespace {

bool IsInteger(const std::wstring& text) {
    try {
        EngineText::StrictDecimal(text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool IsColour(const std::wstring& text) {
    if (text.size() != 6)
        return false;
    for (const wchar_t c : text) {
        if (!std::iswxdigit(c))
            return false;
    }
    return true;
}

bool IsBoolean(const std::wstring& text) {
    const std::wstring lower = ToLower(text);
    return lower == L"true" || lower == L"false" || lower == L"1" || lower == L"0" ||
           lower == L"t" || lower == L"f";
}

bool IsRectangle(const std::wstring& text) {
    int fields = 0;
    std::wstring field;
    for (const wchar_t c : text + L" ") {
        if (c == L' ' || c == L',' || c == L'\t') {
            if (!field.empty() && !IsInteger(field))
                return false;
            fields += field.empty() ? 0 : 1;
            field.clear();
        } else {
            field += c;
        }
    }
    return fields == 4;
}

} // namespace

void ValueCheck::Run() const {
    for (const ActionSite& site : context.ActionSites()) {
        const XmlNode& element = *site.element;
        if (!element.GetAttribute(L"delay").empty() && !IsInteger(element.GetAttribute(L"delay")))
            context.Report(element, L"delay", Severity::Error, L"bad-delay",
                           L"delay '" + element.GetAttribute(L"delay") +
                               L"' is not a whole number of milliseconds: the action never runs");
        if (CheckContext::Named(element, L"xmlbutton"))
            CheckButton(element);
        else if (EqualsIgnoreCase(element.GetAttribute(L"action"), L"setbuttonattribute"))
            CheckStateElement(element);
    }
    for (const XmlNode* queue : context.Queues()) {
        for (const XmlNode* delay : CheckContext::Elements(queue)) {
            if (CheckContext::Named(*delay, L"delay"))
                CheckIntegers(*delay, {L"value"}, Severity::Warning, L"bad-delay");
        }
    }
    for (const XmlNode* page : context.PageElements()) {
        for (const XmlNode* subpage : CheckContext::Elements(page)) {
            if (!CheckContext::Named(*subpage, L"subpage"))
                continue;
            for (const XmlNode* child : CheckContext::Elements(subpage))
                CheckIntegers(*child, {L"x", L"y", L"width", L"height"}, Severity::Warning,
                              L"bad-number");
        }
    }
}

void ValueCheck::CheckButton(const XmlNode& button) const {
    for (const XmlNode* child : CheckContext::Elements(&button)) {
        const std::wstring name = ToLower(child->GetName());
        if (name == L"position" || name == L"size") {
            CheckIntegers(*child,
                          {L"top", L"left", L"bottom", L"right", L"x", L"y", L"width", L"height"},
                          Severity::Warning, L"bad-position");
        } else if (name == L"sound") {
            Require(*child, L"pushed");
            Require(*child, L"over");
        } else if (name == L"tooltip") {
            Require(*child, L"text");
            CheckColour(*child, L"colour");
            CheckColour(*child, L"bgcolour");
        } else if (name == L"systemcursor") {
            CheckIntegers(*child, {L"id"}, Severity::Warning, L"bad-number");
        } else {
            CheckStateElement(*child);
        }
    }
}

void ValueCheck::CheckStateElement(const XmlNode& element) const {
    const std::wstring kindName = CheckContext::Named(element, L"action")
                                      ? ToLower(element.GetAttribute(L"attribute"))
                                      : ToLower(element.GetName());
    const LTF::GUI::StateKind* kind = LTF::GUI::FindStateKind(kindName);
    if (!kind)
        return;
    CheckBoolean(element, L"duplicate");
    CheckBoolean(element, L"update");
    for (const std::wstring& name : LTF::GUI::StateAttributes()) {
        const wchar_t* state = name.c_str();
        const std::wstring value = context.Expanded(element, state);
        if (value.empty())
            continue;
        switch (kind->value) {
        case LTF::GUI::StateValue::Colour:
            CheckColour(element, state);
            break;
        case LTF::GUI::StateValue::Bool:
            CheckBoolean(element, state);
            break;
        case LTF::GUI::StateValue::Integer:
            CheckIntegers(element, {state}, Severity::Warning, L"bad-number");
            break;
        case LTF::GUI::StateValue::Rect:
            if (!IsRectangle(value))
                context.Report(element, state, Severity::Warning, L"bad-rectangle",
                               L"'" + value + L"' is not four numbers (left top right bottom)");
            break;
        case LTF::GUI::StateValue::Words:
            if (LTF::wstring_to_flags(*kind->words, ToLower(value)) == 0)
                context.Report(element, state, Severity::Warning, L"bad-words",
                               L"'" + value + L"' names no word of <" + element.GetName() +
                                   L">: the value is ignored");
            break;
        default:
            break;
        }
    }
}

void ValueCheck::CheckIntegers(const XmlNode& element, std::initializer_list<const wchar_t*> names,
                               Severity severity, const wchar_t* code) const {
    for (const wchar_t* name : names) {
        const std::wstring value = context.Expanded(element, name);
        if (!value.empty() && !IsInteger(value))
            context.Report(element, name, severity, code,
                           std::wstring(name) + L" '" + value + L"' is not a whole number");
    }
}

void ValueCheck::CheckColour(const XmlNode& element, const wchar_t* name) const {
    const std::wstring value = context.Expanded(element, name);
    if (!value.empty() && !IsColour(value))
        context.Report(element, name, Severity::Error, L"bad-colour",
                       L"colour '" + value +
                           L"' is not six hexadecimal digits RRGGBB: the page is not built");
}

void ValueCheck::CheckBoolean(const XmlNode& element, const wchar_t* name) const {
    const std::wstring value = context.Expanded(element, name);
    if (!value.empty() && !IsBoolean(value))
        context.Report(element, name, Severity::Warning, L"bad-boolean",
                       std::wstring(name) + L" '" + value +
                           L"' is not true or false (read as true)");
}

void ValueCheck::Require(const XmlNode& element, const wchar_t* name) const {
    if (!element.HasAttribute(name))
        context.Report(element, {}, Severity::Error, L"missing-attribute",
                       L"<" + element.GetName() + L"> needs the attribute '" + name +
                           L"': the rest of the page is not built");
}

} // namespace Vellmar::Check
