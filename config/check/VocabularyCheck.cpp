#include "config/check/VocabularyCheck.h"

#include "config/ButtonVocabulary.h"
#include "engine/ActionHandlers.h"
#include "engine/ConditionHandlers.h"
#include "engine/UpdateHandlers.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "support/Text.h"

#include <algorithm>

namespace Vellmar::Check {

using LTF::Xml::XmlNode;

namespace {

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsMuteButton(const XmlNode& button) {
    return EqualsIgnoreCase(button.GetAttribute(L"action"), L"system") &&
           EqualsIgnoreCase(button.GetAttribute(L"value"), L"mute");
}

// The branch elements a condition of this type may run; empty: any child with `casevalue`.
std::vector<std::wstring> BranchesOf(const XmlNode& condition) {
    const std::wstring type = ToLower(condition.GetAttribute(L"type"));
    const bool valueGiven = !condition.GetAttribute(L"value").empty();
    if (type == L"commandline" && !condition.GetAttribute(L"delimiter").empty())
        return {L"case"};
    if (type == L"floatcompare")
        return {L"equal", L"less", L"greater"};
    if (type == L"mutex")
        return {L"true", L"false", L"bringtofront"};
    if ((type == L"ini" || type == L"regsz" || type == L"language") && !valueGiven)
        return {};
    return {L"true", L"false"};
}

} // namespace

void VocabularyCheck::Run() const {
    if (const XmlNode* application = context.Application())
        CheckChildren(application->GetChildNode(L"initialization", 0), {L"init"});
    for (const XmlNode* queue : context.Queues())
        CheckChildren(queue, {L"action", L"delay"});
    for (const XmlNode* page : context.PageElements()) {
        for (const XmlNode* child : CheckContext::Elements(page)) {
            if (CheckContext::Named(*child, L"xmlbutton"))
                CheckButton(*child);
            else if (CheckContext::Named(*child, L"subpage"))
                CheckChildren(child, {L"source", L"position", L"size"});
            else
                context.Report(*child, {}, Severity::Warning, L"unknown-element",
                               L"a page holds only xmlbutton and subpage elements; <" +
                                   child->GetName() + L"> is ignored");
        }
    }
    for (const XmlNode* condition : context.Conditions())
        CheckConditionBranches(*condition);
    CheckKeywords();
}

void VocabularyCheck::CheckChildren(const XmlNode* parent,
                                    std::initializer_list<const wchar_t*> known) const {
    for (const XmlNode* child : CheckContext::Elements(parent)) {
        const bool listed = std::any_of(known.begin(), known.end(), [&](const wchar_t* name) {
            return CheckContext::Named(*child, name);
        });
        if (!listed)
            context.Report(*child, {}, Severity::Warning, L"unknown-element",
                           L"<" + child->GetName() + L"> is not read inside <" + parent->GetName() +
                               L">");
    }
}

void VocabularyCheck::CheckKeywords() const {
    const std::vector<std::wstring> actions = ActionHandlers::Names();
    const std::vector<std::wstring> updates = UpdateHandlers::Names();
    for (const ActionSite& site : context.ActionSites()) {
        const XmlNode& element = *site.element;
        const std::wstring keyword = ToLower(element.GetAttribute(L"action"));
        if (keyword.empty() && CheckContext::Named(element, L"xmlbutton"))
            continue; // a label
        if (!Contains(actions, keyword)) {
            context.Report(element, L"action", Severity::Error, L"unknown-action",
                           L"unknown action '" + element.GetAttribute(L"action") +
                               L"': a run does nothing here");
        } else if (keyword == L"update" &&
                   !Contains(updates, ToLower(element.GetAttribute(L"updatetype")))) {
            context.Report(element, L"updatetype", Severity::Error, L"unknown-update-type",
                           L"unknown update type '" + element.GetAttribute(L"updatetype") + L"'");
        } else if (keyword == L"setbuttonattribute") {
            const std::wstring kind = ToLower(element.GetAttribute(L"attribute"));
            if (!LTF::GUI::FindStateKind(kind) && !LTF::GUI::IsWholeButtonElement(kind))
                context.Report(element, L"attribute", Severity::Error, L"unknown-button-attribute",
                               L"unknown button attribute '" + element.GetAttribute(L"attribute") +
                                   L"'");
        }
    }
    const std::vector<std::wstring> types = ConditionHandlers::Names();
    for (const XmlNode* condition : context.Conditions()) {
        if (!Contains(types, ToLower(condition->GetAttribute(L"type"))))
            context.Report(*condition, L"type", Severity::Error, L"unknown-condition-type",
                           L"unknown condition type '" + condition->GetAttribute(L"type") + L"'");
    }
}

void VocabularyCheck::CheckConditionBranches(const XmlNode& condition) const {
    const std::vector<std::wstring> branches = BranchesOf(condition);
    for (const XmlNode* child : CheckContext::Elements(&condition)) {
        const std::wstring name = ToLower(child->GetName());
        const bool runs = branches.empty() ? !child->GetAttribute(L"casevalue").empty() ||
                                                 name == L"true" || name == L"false"
                                           : Contains(branches, name);
        if (!runs)
            context.Report(*child, {}, Severity::Warning, L"unknown-element",
                           L"<" + child->GetName() + L"> is never run by a condition of type '" +
                               condition.GetAttribute(L"type") + L"'");
    }
}

void VocabularyCheck::CheckButton(const XmlNode& button) const {
    const LTF::Xml::XmlNodeList* children = button.GetChildNodes();
    for (int i = 0; children && i < children->GetLength(); ++i) {
        const XmlNode* child = children->GetItem(i);
        const std::wstring name = ToLower(child->GetName());
        if (child->GetNodeType() != LTF::Xml::XmlNodeType::Element) {
            context.Report(button, {}, Severity::Error, L"unknown-button-element",
                           L"<" + button.GetName() + L"> may hold only elements: its " +
                               child->GetName() + L" stops the page from being built");
        } else if (LTF::GUI::FindStateKind(name)) {
            CheckStateAttributes(button, *child);
        } else if (!LTF::GUI::IsWholeButtonElement(name)) {
            context.Report(*child, {}, Severity::Error, L"unknown-button-element",
                           L"unknown button element <" + child->GetName() +
                               L">: the rest of the page is not built");
        }
    }
}

void VocabularyCheck::CheckStateAttributes(const XmlNode& button, const XmlNode& element) const {
    const bool muteBitmap = IsMuteButton(button) && ToLower(element.GetName()) == L"bitmap";
    for (const auto& [name, value] : element.GetAttributes()) {
        if (Contains(LTF::GUI::StateAttributes(), name) || LTF::GUI::IsStateSwitch(name) ||
            (muteBitmap &&
             (Contains(LTF::GUI::MuteBitmapAttributes(), name) || name == L"duplicatemute")))
            continue;
        context.Report(element, name, Severity::Warning, L"unknown-attribute",
                       L"<" + element.GetName() + L"> has no attribute '" + name + L"'");
    }
}

} // namespace Vellmar::Check
