#pragma once

#include <libxml/tree.h>

#include <cstddef>
#include <string>
#include <unordered_map>

namespace LTF::Xml::Implementation {

// Runs once over a freshly parsed tree: drops whitespace-only text between elements (unless
// xml:space="preserve" asks to keep it) and measures how much text the entity references would
// expand to. Entities stay unexpanded in the tree, so a few small declarations can stand for
// gigabytes of text that GetText or GetAttribute would build later; such documents are refused
// here instead.
class LibXmlTreeCheck {
public:
    static constexpr std::size_t kMaxEntityExpansion = 1 << 20;

    explicit LibXmlTreeCheck(xmlDocPtr document);
    // Empty when the tree is fine, else the reason for refusing it.
    std::wstring Run();

private:
    void AddReference(const xmlChar* name);
    std::size_t ExpandedSize(xmlEntityPtr entity);
    std::size_t ScanEntityText(const xmlChar* text);
    void CountAttributeReferences(xmlNodePtr element);
    static bool IsDroppableBlank(xmlNodePtr node);
    static xmlNodePtr NextOutside(xmlNodePtr node, xmlNodePtr root);

    xmlDocPtr document;
    std::size_t total = 0;
    std::unordered_map<xmlEntityPtr, std::size_t> sizes;
};

} // namespace LTF::Xml::Implementation
