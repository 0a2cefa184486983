#include "config/check/ReferenceCheck.h"

#include "config/ButtonVocabulary.h"
#include "config/LauncherContext.h"
#include "ltf/xml/XmlNode.h"
#include "support/Text.h"

#include <vector>

namespace Vellmar::Check {

using LTF::Xml::XmlNode;

ReferenceCheck::ReferenceCheck(const CheckContext& context) : context(context) {
    for (const XmlNode* queue : context.Queues())
        queues.insert(queue->GetAttribute(L"name"));
    for (const XmlNode* condition : context.Conditions())
        conditions.insert(condition->GetAttribute(L"name"));
    for (const XmlNode* page : context.PageElements()) {
        if (page->GetAttribute(L"name") != L"default")
            pages.insert(context.Expanded(*page, L"name"));
        for (const XmlNode* child : CheckContext::Elements(page)) {
            if (CheckContext::Named(*child, L"subpage"))
                subpages.insert(context.Expanded(*child, L"name"));
            else if (CheckContext::Named(*child, L"xmlbutton"))
                buttons.insert(context.Expanded(*child, L"name"));
        }
    }
    runtimeVariables = {L"EXE_VERSION", L"SELECTED_LANGUAGE"};
    for (const ActionSite& site : context.ActionSites()) {
        if (EqualsIgnoreCase(site.element->GetAttribute(L"action"), L"update") &&
            EqualsIgnoreCase(site.element->GetAttribute(L"updatetype"), L"regsz"))
            runtimeVariables.insert(context.Value(site, L"value"));
    }
}

void ReferenceCheck::Run() const {
    for (const ActionSite& site : context.ActionSites())
        CheckSite(site);
    if (const XmlNode* section = context.Pages()) {
        const std::wstring first = context.Expanded(*section, L"default");
        Expect(pages, *section, L"default", first, Severity::Error, L"unknown-page", L"page");
    }
    for (const XmlNode* page : context.PageElements()) {
        const std::wstring queue = context.Expanded(*page, L"actionqueue");
        if (!queue.empty())
            Expect(queues, *page, L"actionqueue", queue, Severity::Error, L"unknown-queue",
                   L"action queue");
    }
    CheckVariables(context.Root());
    CheckReachable();
}

void ReferenceCheck::CheckSite(const ActionSite& site) const {
    const XmlNode& element = *site.element;
    const std::wstring keyword = ToLower(element.GetAttribute(L"action"));
    const std::wstring value = context.Value(site, L"value");
    if (keyword == L"actionqueue")
        Expect(queues, element, L"value", value, Severity::Error, L"unknown-queue",
               L"action queue");
    else if (keyword == L"condition")
        Expect(conditions, element, L"value", value, Severity::Error, L"unknown-condition",
               L"condition");
    else if (keyword == L"page")
        Expect(pages, element, L"value", value, Severity::Error, L"unknown-page", L"page");
    else if (keyword == L"subpage")
        Expect(subpages, element, L"value", value, Severity::Error, L"unknown-subpage", L"subpage");
    else if (keyword == L"enablebutton" || keyword == L"setbuttonattribute")
        Expect(buttons, element, L"button", context.Value(site, L"button"), Severity::Warning,
               L"unknown-button", L"button");
    if (CheckContext::Named(element, L"xmlbutton"))
        CheckButtonStrings(element);
}

void ReferenceCheck::Expect(const std::set<std::wstring>& names, const XmlNode& element,
                            const wchar_t* attribute, const std::wstring& value, Severity severity,
                            const wchar_t* code, const wchar_t* what) const {
    if (names.count(value) == 0)
        context.Report(element, attribute, severity, code,
                       std::wstring(L"no ") + what + L" is named '" + value + L"'");
}

void ReferenceCheck::CheckButtonStrings(const XmlNode& button) const {
    static const std::vector<std::wstring> tooltipText = {L"text"};
    const StringTable& strings = context.Launcher().strings;
    for (const XmlNode* child : CheckContext::Elements(&button)) {
        const bool text = CheckContext::Named(*child, L"text");
        if (!text && !CheckContext::Named(*child, L"tooltip"))
            continue;
        for (const std::wstring& attribute : text ? LTF::GUI::StateAttributes() : tooltipText) {
            const std::wstring name = context.Expanded(*child, attribute.c_str());
            if (!name.empty() && !strings.Defines(name))
                context.Report(*child, attribute, Severity::Error, L"unknown-string",
                               L"no string is named '" + name + L"': the button shows nothing");
        }
    }
}

void ReferenceCheck::CheckVariables(const XmlNode& element) const {
    for (const auto& [name, value] : element.GetAttributes())
        CheckVariablesIn(element, name, value);
    if (CheckContext::Named(element, L"string"))
        CheckVariablesIn(element, {}, element.GetText());
    for (const XmlNode* child : CheckContext::Elements(&element))
        CheckVariables(*child);
}

void ReferenceCheck::CheckVariablesIn(const XmlNode& element, const std::wstring& attribute,
                                      const std::wstring& text) const {
    const StringTable& strings = context.Launcher().strings;
    for (std::size_t at = text.find(L"${"); at != std::wstring::npos;
         at = text.find(L"${", at + 2)) {
        const std::size_t end = text.find(L'}', at + 2);
        if (end == std::wstring::npos)
            return;
        const std::wstring name = text.substr(at + 2, end - at - 2);
        if (!name.empty() && !strings.Defines(name) && runtimeVariables.count(name) == 0)
            context.Report(element, attribute, Severity::Error, L"unknown-variable",
                           L"no string or built-in variable is named '" + name + L"': ${" + name +
                               L"} becomes empty");
    }
}

void ReferenceCheck::CheckReachable() const {
    std::set<std::wstring> shown;
    if (const XmlNode* section = context.Pages())
        shown.insert(context.Expanded(*section, L"default"));
    for (const ActionSite& site : context.ActionSites()) {
        const std::wstring keyword = ToLower(site.element->GetAttribute(L"action"));
        if (keyword == L"pagecycle")
            return; // cycling shows every page
        if (keyword == L"page")
            shown.insert(context.Value(site, L"value"));
    }
    for (const XmlNode* page : context.PageElements()) {
        const std::wstring name = context.Expanded(*page, L"name");
        if (name != L"default" && shown.count(name) == 0)
            context.Report(*page, L"name", Severity::Warning, L"unreachable-page",
                           L"no action shows the page '" + name + L"'");
    }
}

} // namespace Vellmar::Check
