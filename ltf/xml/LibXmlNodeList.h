#pragma once

#include "ltf/xml/XmlNodeList.h"

#include <libxml/tree.h>

#include <cstdint>
#include <vector>

namespace LTF::Xml::Implementation {

class LibXmlDocument;

// The live child list of one libxml2 node, with a cache of wrappers by index. The cache is
// rebuilt after any edit of the document's child lists, so an index always yields the wrapper
// of the child that is there now (never a stale one).
class LibXmlNodeList : public XmlNodeList {
public:
    // pNodeList is the node whose children are listed.
    LibXmlNodeList(LibXmlDocument* pOwnerDocument, xmlNodePtr pNodeList);

    int GetLength() const override;
    XmlNode* GetItem(int index) const override;

    // Entity references list no children: libxml2 hangs the entity's declaration under them,
    // which belongs to the DTD and links on to its other declarations. Their text still counts
    // in GetText.
    static xmlNodePtr FirstChild(xmlNodePtr parent);

private:
    void Refresh() const;

    LibXmlDocument* owner;
    xmlNodePtr parent;
    mutable std::vector<xmlNodePtr> handles;
    mutable std::vector<XmlNode*> cache;
    mutable std::uint64_t generation;
    mutable bool filled = false;
};

} // namespace LTF::Xml::Implementation
