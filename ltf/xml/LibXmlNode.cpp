#include "ltf/xml/LibXmlNode.h"

#include "ltf/xml/LibXmlDocument.h"
#include "ltf/xml/LibXmlNodeList.h"
#include "ltf/xml/LibXmlText.h"
#include "support/LtfException.h"

#include <new>

namespace LTF::Xml::Implementation {

namespace {

constexpr const char* kSource = "LibXmlNode";

struct BufferFree {
    void operator()(xmlBufferPtr buffer) const { xmlBufferFree(buffer); }
};

// Text reads report no failure of their own; only exhausted memory becomes an exception.
template <typename Read> std::wstring GuardedRead(Read read) {
    try {
        return read();
    } catch (const LTF::Exception&) {
        throw;
    } catch (...) {
        throw UnexpectedErrorException();
    }
}

bool IsMovableKind(xmlNodePtr node) {
    switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return true;
    default:
        return false;
    }
}

// Nodes hanging under an entity declaration belong to the DTD and are never moved.
bool IsInMainTree(xmlNodePtr node) {
    return node->parent == nullptr || node->parent->type == XML_ELEMENT_NODE ||
           node->parent->type == XML_DOCUMENT_NODE;
}

// Linked by hand: xmlAddChild merges adjacent text nodes and frees the added one, which would
// leave its wrapper dangling.
void LinkLast(xmlNodePtr parent, xmlNodePtr child) {
    child->parent = parent;
    child->prev = parent->last;
    child->next = nullptr;
    if (parent->last != nullptr)
        parent->last->next = child;
    else
        parent->children = child;
    parent->last = child;
}

std::string NodeName(xmlNodePtr node) {
    switch (node->type) {
    case XML_ELEMENT_NODE:
        return QualifiedName(node->ns != nullptr ? node->ns->prefix : nullptr, node->name);
    case XML_TEXT_NODE:
        return "#text";
    case XML_CDATA_SECTION_NODE:
        return "#cdata-section";
    case XML_COMMENT_NODE:
        return "#comment";
    case XML_PI_NODE:
    case XML_ENTITY_REF_NODE:
        return QualifiedName(nullptr, node->name);
    default:
        return {};
    }
}

} // namespace

LibXmlNode::LibXmlNode(LibXmlDocument* pOwnerDocument, xmlNodePtr pNode)
    : owner(pOwnerDocument), node(pNode) {
    if (pOwnerDocument == nullptr)
        throw InvalidArgumentException("pOwnerDocument", kSource, __LINE__);
    if (pNode == nullptr)
        throw InvalidArgumentException("pNode", kSource, __LINE__);
    children = std::make_unique<LibXmlNodeList>(pOwnerDocument, pNode);
}

LibXmlNode::~LibXmlNode() = default;

XmlNodeType LibXmlNode::GetNodeType() const {
    switch (node->type) {
    case XML_ELEMENT_NODE:
        return XmlNodeType::Element;
    case XML_TEXT_NODE:
        return XmlNodeType::Text;
    case XML_COMMENT_NODE:
        return XmlNodeType::Comment;
    default:
        return XmlNodeType::Other;
    }
}

std::wstring LibXmlNode::GetName() const {
    return GuardedRead([&] { return WideFromXml(AsXml(NodeName(node))); });
}

std::wstring LibXmlNode::GetValue() const {
    return GuardedRead([&] {
        switch (node->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            return WideFromXml(node->content);
        default:
            return std::wstring();
        }
    });
}

std::wstring LibXmlNode::GetXml() const {
    return GuardedRead([&] {
        std::unique_ptr<xmlBuffer, BufferFree> buffer(xmlBufferCreate());
        if (buffer == nullptr || xmlNodeDump(buffer.get(), owner->Handle(), node, 0, 0) < 0)
            return std::wstring();
        return WideFromXml(xmlBufferContent(buffer.get()));
    });
}

std::wstring LibXmlNode::GetText() const {
    return GuardedRead([&] { return WideFromXml(OwnedXmlChars(xmlNodeGetContent(node)).get()); });
}

xmlAttrPtr LibXmlNode::FindAttribute(const std::string& name) const {
    for (xmlAttrPtr attribute = node->properties; attribute != nullptr;
         attribute = attribute->next) {
        const xmlChar* prefix = attribute->ns != nullptr ? attribute->ns->prefix : nullptr;
        if (QualifiedName(prefix, attribute->name) == name)
            return attribute;
    }
    return nullptr;
}

std::wstring LibXmlNode::GetAttribute(const std::wstring& name) const {
    const XmlNodeType kind = GetNodeType();
    if (kind == XmlNodeType::Other || kind == XmlNodeType::Comment)
        return {};
    if (kind != XmlNodeType::Element)
        throw UnexpectedErrorException();
    return GuardedRead([&] {
        xmlAttrPtr attribute = FindAttribute(Utf8ForXml(name));
        if (attribute == nullptr)
            return std::wstring();
        return WideFromXml(
            OwnedXmlChars(xmlNodeListGetString(owner->Handle(), attribute->children, 1)).get());
    });
}

bool LibXmlNode::HasAttribute(const std::wstring& name) const {
    return node->type == XML_ELEMENT_NODE && FindAttribute(Utf8ForXml(name)) != nullptr;
}

std::map<std::wstring, std::wstring> LibXmlNode::GetAttributes() const {
    std::map<std::wstring, std::wstring> result;
    if (node->type != XML_ELEMENT_NODE)
        return result;
    try {
        for (xmlAttrPtr attribute = node->properties; attribute != nullptr;
             attribute = attribute->next) {
            const xmlChar* prefix = attribute->ns != nullptr ? attribute->ns->prefix : nullptr;
            std::wstring name = WideFromXml(AsXml(QualifiedName(prefix, attribute->name)));
            std::wstring value = WideFromXml(
                OwnedXmlChars(xmlNodeListGetString(owner->Handle(), attribute->children, 1)).get());
            if (!name.empty() && !value.empty())
                result[std::move(name)] = std::move(value);
        }
    } catch (const std::bad_alloc&) {
        throw UnexpectedErrorException();
    }
    return result;
}

void LibXmlNode::RequireElement() const {
    if (node->type != XML_ELEMENT_NODE)
        throw UnexpectedErrorException();
}

void LibXmlNode::SetAttribute(const std::wstring& sName, const std::wstring& sValue) {
    if (sName.empty())
        throw InvalidArgumentException("sName", kSource, __LINE__);
    if (sValue.empty())
        throw InvalidArgumentException("sValue", kSource, __LINE__);
    RequireElement();
    if (!IsXmlName(sName))
        throw UnexpectedErrorException();
    const std::string name = Utf8ForXml(sName);
    // Replace in place when present so that a prefixed name is matched as written.
    if (xmlAttrPtr existing = FindAttribute(name); existing != nullptr)
        xmlRemoveProp(existing);
    if (xmlNewProp(node, AsXml(name), AsXml(Utf8ForXml(sValue))) == nullptr)
        throw UnexpectedErrorException();
}

void LibXmlNode::RemoveAttribute(const std::wstring& sName) {
    if (sName.empty())
        throw InvalidArgumentException("sName", kSource, __LINE__);
    RequireElement();
    if (xmlAttrPtr attribute = FindAttribute(Utf8ForXml(sName)); attribute != nullptr)
        xmlRemoveProp(attribute);
}

XmlNodeList* LibXmlNode::GetChildNodes() const {
    return children.get();
}

xmlNodePtr LibXmlNode::OwnChild(XmlNode* pChild) const {
    if (pChild == nullptr)
        throw InvalidArgumentException("pChild", kSource, __LINE__);
    auto* child = dynamic_cast<LibXmlNode*>(pChild);
    if (child == nullptr || child->owner != owner)
        throw UnexpectedErrorException();
    return child->node;
}

void LibXmlNode::AppendChild(XmlNode* pChild) {
    xmlNodePtr child = OwnChild(pChild);
    RequireElement();
    if (!IsMovableKind(child) || !IsInMainTree(child))
        throw UnexpectedErrorException();
    for (xmlNodePtr ancestor = node; ancestor != nullptr; ancestor = ancestor->parent)
        if (ancestor == child)
            throw UnexpectedErrorException();
    xmlUnlinkNode(child);
    LinkLast(node, child);
    owner->ChildrenChanged();
}

void LibXmlNode::RemoveChild(XmlNode* pChild) {
    xmlNodePtr child = OwnChild(pChild);
    if (child->parent != node || !IsMovableKind(child))
        throw UnexpectedErrorException();
    xmlUnlinkNode(child);
    owner->ChildrenChanged();
}

XmlNode* LibXmlNode::GetChildNode(const std::wstring& name, int index) const {
    if (index < 0)
        return nullptr;
    const std::string wanted = Utf8ForXml(name);
    int count = 0;
    for (xmlNodePtr child = LibXmlNodeList::FirstChild(node); child != nullptr;
         child = child->next) {
        if (EqualsAsciiIgnoreCase(NodeName(child), wanted) && count++ == index)
            return owner->Wrap(child);
    }
    return nullptr;
}

XmlNode* LibXmlNode::FindChildNode(const std::wstring& attributeName,
                                   const std::wstring& attributeValue, const std::wstring& nodeName,
                                   int index) const {
    if (attributeName.empty() || index < 0)
        return nullptr;
    const std::string wantedName = Utf8ForXml(nodeName);
    int count = 0;
    for (xmlNodePtr child = LibXmlNodeList::FirstChild(node); child != nullptr;
         child = child->next) {
        // Text nodes have no attributes, so only elements can match.
        if (child->type != XML_ELEMENT_NODE)
            continue;
        if (!wantedName.empty() && !EqualsAsciiIgnoreCase(NodeName(child), wantedName))
            continue;
        LibXmlNode* candidate = owner->Wrap(child);
        if (candidate->GetAttribute(attributeName) == attributeValue && count++ == index)
            return candidate;
    }
    return nullptr;
}

XmlNode* LibXmlNode::SelectNode(const std::wstring& path) const {
    const XmlNode* current = this;
    std::size_t start = 0;
    while (current != nullptr) {
        const std::size_t slash = path.find(L'/', start);
        const std::wstring segment = path.substr(start, slash - start);
        if (segment.empty())
            return nullptr;
        current = current->GetChildNode(segment, 0);
        if (slash == std::wstring::npos)
            break;
        start = slash + 1;
    }
    return const_cast<XmlNode*>(current);
}

int LibXmlNode::GetLine() const {
    return static_cast<int>(xmlGetLineNo(node) > 0 ? xmlGetLineNo(node) : 0);
}

} // namespace LTF::Xml::Implementation
