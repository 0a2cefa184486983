#include "config/check/CheckContext.h"

#include "config/LauncherContext.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "support/Text.h"

namespace Vellmar::Check {

using LTF::Xml::XmlNode;

CheckContext::CheckContext(LauncherContext& launcher, const XmlNode& root, std::wstring file,
                           const SourceLocator& locator, Findings& findings,
                           std::wstring onlyLanguage)
    : launcher(launcher), root(root), file(std::move(file)), locator(locator), findings(findings),
      onlyLanguage(std::move(onlyLanguage)) {
    CollectSites();
}

void CheckContext::Report(const XmlNode& node, const std::wstring& attribute, Severity severity,
                          const wchar_t* code, const std::wstring& text) const {
    const SourcePosition at = locator.Of(node, attribute);
    findings.Add({file, at.line, at.column, severity, code, text});
}

std::vector<const XmlNode*> CheckContext::Elements(const XmlNode* parent) {
    std::vector<const XmlNode*> out;
    const LTF::Xml::XmlNodeList* children = parent ? parent->GetChildNodes() : nullptr;
    for (int i = 0; children && i < children->GetLength(); ++i) {
        const XmlNode* child = children->GetItem(i);
        if (child && child->GetNodeType() == LTF::Xml::XmlNodeType::Element)
            out.push_back(child);
    }
    return out;
}

bool CheckContext::Named(const XmlNode& node, const wchar_t* name) {
    return EqualsIgnoreCase(node.GetName(), name);
}

const XmlNode* CheckContext::Section(const wchar_t* name) const {
    return root.GetChildNode(name, 0);
}

const XmlNode* CheckContext::Application() const {
    return Section(L"application");
}

std::vector<const XmlNode*> CheckContext::PageElements() const {
    std::vector<const XmlNode*> pages;
    for (const XmlNode* page : Elements(Pages())) {
        // The window counts only elements named exactly "page" that have a name.
        if (page->GetName() == L"page" && !page->GetAttribute(L"name").empty())
            pages.push_back(page);
    }
    return pages;
}

std::vector<const XmlNode*> CheckContext::Entries(const wchar_t* section,
                                                  const wchar_t* entry) const {
    std::vector<const XmlNode*> entries;
    for (const XmlNode* element : Elements(Section(section))) {
        if (Named(*element, entry))
            entries.push_back(element);
    }
    return entries;
}

std::vector<const XmlNode*> CheckContext::Queues() const {
    return Entries(L"actionqueues", L"actionqueue");
}

std::vector<const XmlNode*> CheckContext::Conditions() const {
    return Entries(L"conditions", L"condition");
}

void CheckContext::CollectSites() {
    if (const XmlNode* application = Application()) {
        for (const XmlNode* init : Elements(application->GetChildNode(L"initialization", 0))) {
            if (Named(*init, L"init"))
                sites.push_back({init, false});
        }
    }
    for (const XmlNode* queue : Queues()) {
        for (const XmlNode* action : Elements(queue)) {
            if (Named(*action, L"action"))
                sites.push_back({action, false});
        }
    }
    for (const XmlNode* condition : Conditions()) {
        for (const XmlNode* branch : Elements(condition)) {
            if (!Named(*branch, L"bringtofront"))
                sites.push_back({branch, false});
        }
    }
    for (const XmlNode* page : PageElements()) {
        for (const XmlNode* button : Elements(page)) {
            if (Named(*button, L"xmlbutton"))
                sites.push_back({button, true});
        }
    }
}

std::wstring CheckContext::Value(const ActionSite& site, const wchar_t* attribute) const {
    return site.expanded ? Expanded(*site.element, attribute)
                         : site.element->GetAttribute(attribute);
}

std::wstring CheckContext::Expanded(const XmlNode& node, const wchar_t* attribute) const {
    return launcher.strings.Expand(node.GetAttribute(attribute));
}

} // namespace Vellmar::Check
