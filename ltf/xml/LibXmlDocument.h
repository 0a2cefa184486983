#pragma once

#include "ltf/xml/XmlDocument.h"

#include <libxml/tree.h>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace LTF::Xml::Implementation {

class LibXmlNode;

// Owns the libxml2 tree and every node wrapper made for it. Each libxml2 node has at most one
// wrapper, so the same node always yields the same XmlNode*. Wrappers live until the document
// dies, also for nodes removed from the tree; nodes left outside the tree then are freed too.
class LibXmlDocument : public XmlDocument {
public:
    // Takes ownership of pDocument.
    explicit LibXmlDocument(xmlDocPtr pDocument);
    ~LibXmlDocument() override;
    LibXmlDocument(const LibXmlDocument&) = delete;
    LibXmlDocument& operator=(const LibXmlDocument&) = delete;

    XmlNode* GetDocumentElement() const override;
    XmlNode* CreateComment(const std::wstring& sComment) override;
    XmlNode* CreateElement(const std::wstring& sName) override;
    XmlNode* CreateTextNode(const std::wstring& text) override;
    XmlNode* CreateCDataSection(const std::string& text) override;

    LibXmlNode* Wrap(xmlNodePtr pNode);
    xmlDocPtr Handle() const { return document.get(); }
    // Counts edits of any child list, so that node lists know when their cache is stale.
    std::uint64_t Generation() const { return generation; }
    void ChildrenChanged() { ++generation; }

private:
    struct DocumentFree {
        void operator()(xmlDocPtr document) const { xmlFreeDoc(document); }
    };
    XmlNode* WrapCreated(xmlNodePtr pNode);

    std::unique_ptr<xmlDoc, DocumentFree> document;
    std::vector<std::unique_ptr<LibXmlNode>> nodes;
    std::unordered_map<xmlNodePtr, LibXmlNode*> wrappers;
    LibXmlNode* root = nullptr;
    std::uint64_t generation = 0;
};

} // namespace LTF::Xml::Implementation
