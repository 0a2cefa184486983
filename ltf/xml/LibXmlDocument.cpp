#include "ltf/xml/LibXmlDocument.h"

#include "ltf/xml/LibXmlNode.h"
#include "ltf/xml/LibXmlText.h"
#include "support/LtfException.h"
#include "support/Text.h"

#include <limits>
#include <new>

namespace LTF::Xml::Implementation {

namespace {
constexpr const char* kSource = "LibXmlDocument";
}

LibXmlDocument::LibXmlDocument(xmlDocPtr pDocument) : document(pDocument) {
    if (pDocument == nullptr)
        throw InvalidArgumentException("pDocument", kSource, __LINE__);
    xmlNodePtr element = xmlDocGetRootElement(pDocument);
    if (element == nullptr)
        throw UnexpectedErrorException();
    root = Wrap(element);
}

LibXmlDocument::~LibXmlDocument() {
    // Nodes outside the tree (created and never inserted, or removed) are not freed with the
    // document; collect the tops of such subtrees before freeing any of them.
    std::vector<xmlNodePtr> detached;
    for (const auto& [handle, wrapper] : wrappers)
        if (handle->parent == nullptr)
            detached.push_back(handle);
    nodes.clear();
    for (xmlNodePtr handle : detached)
        xmlFreeNode(handle);
}

XmlNode* LibXmlDocument::GetDocumentElement() const {
    return root;
}

LibXmlNode* LibXmlDocument::Wrap(xmlNodePtr pNode) {
    if (pNode == nullptr)
        throw InvalidArgumentException("pNode", kSource, __LINE__);
    if (auto found = wrappers.find(pNode); found != wrappers.end())
        return found->second;
    try {
        nodes.push_back(std::make_unique<LibXmlNode>(this, pNode));
        wrappers.emplace(pNode, nodes.back().get());
    } catch (const std::bad_alloc&) {
        throw UnexpectedErrorException();
    }
    return nodes.back().get();
}

XmlNode* LibXmlDocument::WrapCreated(xmlNodePtr pNode) {
    if (pNode == nullptr)
        throw UnexpectedErrorException();
    try {
        return Wrap(pNode);
    } catch (...) {
        xmlFreeNode(pNode);
        throw;
    }
}

XmlNode* LibXmlDocument::CreateComment(const std::wstring& sComment) {
    if (sComment.empty())
        throw InvalidArgumentException("sComment", kSource, __LINE__);
    return WrapCreated(xmlNewDocComment(Handle(), AsXml(Utf8ForXml(sComment))));
}

XmlNode* LibXmlDocument::CreateElement(const std::wstring& sName) {
    if (sName.empty())
        throw InvalidArgumentException("sName", kSource, __LINE__);
    if (!IsXmlName(sName))
        throw UnexpectedErrorException();
    return WrapCreated(xmlNewDocNode(Handle(), nullptr, AsXml(Utf8ForXml(sName)), nullptr));
}

XmlNode* LibXmlDocument::CreateTextNode(const std::wstring& text) {
    return WrapCreated(xmlNewDocText(Handle(), AsXml(Utf8ForXml(text))));
}

XmlNode* LibXmlDocument::CreateCDataSection(const std::string& text) {
    // Round-trip through the wide form so that invalid UTF-8 cannot reach the tree.
    const std::string clean = Vellmar::WideToUtf8(Vellmar::Utf8ToWide(text));
    if (clean.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw UnexpectedErrorException();
    return WrapCreated(xmlNewCDataBlock(Handle(), AsXml(clean), static_cast<int>(clean.size())));
}

} // namespace LTF::Xml::Implementation
