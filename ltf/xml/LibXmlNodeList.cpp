#include "ltf/xml/LibXmlNodeList.h"

#include "ltf/xml/LibXmlDocument.h"
#include "ltf/xml/LibXmlNode.h"
#include "support/LtfException.h"

#include <new>

namespace LTF::Xml::Implementation {

namespace {
constexpr const char* kSource = "LibXmlNodeList";
}

LibXmlNodeList::LibXmlNodeList(LibXmlDocument* pOwnerDocument, xmlNodePtr pNodeList)
    : owner(pOwnerDocument), parent(pNodeList), generation(0) {
    if (pOwnerDocument == nullptr)
        throw InvalidArgumentException("pOwnerDocument", kSource, __LINE__);
    if (pNodeList == nullptr)
        throw InvalidArgumentException("pNodeList", kSource, __LINE__);
}

xmlNodePtr LibXmlNodeList::FirstChild(xmlNodePtr parent) {
    return parent->type == XML_ENTITY_REF_NODE ? nullptr : parent->children;
}

void LibXmlNodeList::Refresh() const {
    if (filled && generation == owner->Generation())
        return;
    try {
        handles.clear();
        for (xmlNodePtr child = FirstChild(parent); child != nullptr; child = child->next)
            handles.push_back(child);
        cache.assign(handles.size(), nullptr);
    } catch (const std::bad_alloc&) {
        filled = false;
        throw UnexpectedErrorException();
    }
    generation = owner->Generation();
    filled = true;
}

int LibXmlNodeList::GetLength() const {
    Refresh();
    return static_cast<int>(handles.size());
}

XmlNode* LibXmlNodeList::GetItem(int index) const {
    Refresh();
    if (index < 0 || static_cast<std::size_t>(index) >= handles.size())
        return nullptr;
    XmlNode*& slot = cache[static_cast<std::size_t>(index)];
    if (slot == nullptr)
        slot = owner->Wrap(handles[static_cast<std::size_t>(index)]);
    return slot;
}

} // namespace LTF::Xml::Implementation
