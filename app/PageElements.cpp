#include "app/PageElements.h"

#include "config/StringTable.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "support/Text.h"

using LTF::Xml::XmlNode;

PageElements::PageElements(const StringTable& strings, const std::wstring& pagesXml,
                           const std::wstring& pageName)
    : parser(LTF::Xml::CreateXmlParser()) {
    parser->ParseString(strings.ExpandForXml(pagesXml));
    const XmlNode* pages = parser->GetDocument()->GetDocumentElement();
    if (!pages)
        return;
    defaultPage = pages->FindChildNode(L"name", L"default", L"page", 0);
    page = pages->FindChildNode(L"name", pageName, L"page", 0);
}

PageElements::~PageElements() = default;

std::vector<XmlNode*> PageElements::Children() const {
    std::vector<XmlNode*> children;
    if (!page)
        return children;
    for (const XmlNode* parent : {defaultPage, page}) {
        const std::vector<XmlNode*> elements = ElementsIn(parent);
        children.insert(children.end(), elements.begin(), elements.end());
    }
    return children;
}

std::vector<XmlNode*> PageElements::ElementsIn(const XmlNode* parent) {
    std::vector<XmlNode*> elements;
    const LTF::Xml::XmlNodeList* list = parent ? parent->GetChildNodes() : nullptr;
    for (int i = 0; list && i < list->GetLength(); ++i) {
        XmlNode* child = list->GetItem(i);
        if (child && child->GetNodeType() == LTF::Xml::XmlNodeType::Element)
            elements.push_back(child);
    }
    return elements;
}

std::vector<XmlNode*> PageElements::Buttons() const {
    std::vector<XmlNode*> buttons;
    for (XmlNode* child : Children())
        if (IsButton(*child))
            buttons.push_back(child);
    return buttons;
}

bool PageElements::IsButton(const XmlNode& node) {
    return Vellmar::EqualsIgnoreCase(node.GetName(), L"xmlbutton");
}
