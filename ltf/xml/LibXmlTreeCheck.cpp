#include "ltf/xml/LibXmlTreeCheck.h"

#include <libxml/entities.h>

#include <string>

namespace LTF::Xml::Implementation {

namespace {

constexpr std::size_t kOverBudget = LibXmlTreeCheck::kMaxEntityExpansion + 1;
// Marks an entity whose size is being computed, so that a reference cycle ends.
constexpr std::size_t kInProgress = static_cast<std::size_t>(-1);

std::size_t SaturatingAdd(std::size_t a, std::size_t b) {
    return a + b > kOverBudget || a + b < a ? kOverBudget : a + b;
}

bool IsBlankText(const xmlChar* text) {
    for (; text != nullptr && *text != 0; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r')
            return false;
    return true;
}

} // namespace

LibXmlTreeCheck::LibXmlTreeCheck(xmlDocPtr document) : document(document) {}

std::wstring LibXmlTreeCheck::Run() {
    xmlNodePtr root = xmlDocGetRootElement(document);
    xmlNodePtr node = root;
    while (node != nullptr && total < kOverBudget) {
        if (IsDroppableBlank(node)) {
            xmlNodePtr next = NextOutside(node, root);
            xmlUnlinkNode(node);
            xmlFreeNode(node);
            node = next;
            continue;
        }
        if (node->type == XML_ENTITY_REF_NODE) {
            AddReference(node->name);
        } else if (node->type == XML_ELEMENT_NODE) {
            CountAttributeReferences(node);
            if (node->children != nullptr) {
                node = node->children;
                continue;
            }
        }
        node = NextOutside(node, root);
    }
    if (total >= kOverBudget)
        return L"Entity references expand to more than " + std::to_wstring(kMaxEntityExpansion) +
               L" bytes.";
    return {};
}

bool LibXmlTreeCheck::IsDroppableBlank(xmlNodePtr node) {
    return node->type == XML_TEXT_NODE && IsBlankText(node->content) && node->parent != nullptr &&
           xmlNodeGetSpacePreserve(node->parent) != 1;
}

// The next node in document order that is not inside `node`, or null past the root.
xmlNodePtr LibXmlTreeCheck::NextOutside(xmlNodePtr node, xmlNodePtr root) {
    while (node != root && node->next == nullptr)
        node = node->parent;
    return node == root ? nullptr : node->next;
}

void LibXmlTreeCheck::CountAttributeReferences(xmlNodePtr element) {
    for (xmlAttrPtr attribute = element->properties; attribute != nullptr;
         attribute = attribute->next)
        for (xmlNodePtr part = attribute->children; part != nullptr; part = part->next)
            if (part->type == XML_ENTITY_REF_NODE)
                AddReference(part->name);
}

void LibXmlTreeCheck::AddReference(const xmlChar* name) {
    xmlEntityPtr entity = xmlGetDocEntity(document, name);
    total = SaturatingAdd(total, 1 + (entity != nullptr ? ExpandedSize(entity) : 0));
}

std::size_t LibXmlTreeCheck::ExpandedSize(xmlEntityPtr entity) {
    auto [it, inserted] = sizes.try_emplace(entity, kInProgress);
    if (!inserted)
        return it->second == kInProgress ? kOverBudget : it->second;
    const std::size_t size = ScanEntityText(entity->content);
    sizes[entity] = size;
    return size;
}

// The replacement text still holds references to further entities ("&name;"); character
// references ("&#...;") are counted as written, which is an upper bound. Every reference costs
// at least one, so that many references to empty entities are bounded as well.
std::size_t LibXmlTreeCheck::ScanEntityText(const xmlChar* text) {
    std::size_t size = 0;
    for (const xmlChar* p = text; p != nullptr && *p != 0 && size < kOverBudget;) {
        if (*p != '&' || p[1] == '#') {
            size = SaturatingAdd(size, 1);
            ++p;
            continue;
        }
        const xmlChar* end = p + 1;
        while (*end != 0 && *end != ';')
            ++end;
        if (*end == 0) {
            size = SaturatingAdd(size, static_cast<std::size_t>(end - p));
            break;
        }
        const std::string name(reinterpret_cast<const char*>(p + 1), end - p - 1);
        xmlEntityPtr entity =
            xmlGetDocEntity(document, reinterpret_cast<const xmlChar*>(name.c_str()));
        size = SaturatingAdd(size, entity != nullptr ? 1 + ExpandedSize(entity)
                                                     : static_cast<std::size_t>(end - p + 1));
        p = end + 1;
    }
    return size;
}

} // namespace LTF::Xml::Implementation
