#pragma once

#include "ltf/xml/XmlNodeType.h"

#include <map>
#include <string>

namespace LTF::Xml {

class XmlNodeList;

// One node of a parsed document. Every XmlNode* and XmlNodeList* obtained from a node stays
// valid until its document is destroyed. Look-ups by element name ignore ASCII letter case;
// attribute names and values compare exactly.
class XmlNode {
public:
    virtual ~XmlNode() = default;
    virtual XmlNodeType GetNodeType() const = 0;
    // Element tag; "#text", "#comment", "#cdata-section" for those kinds.
    virtual std::wstring GetName() const = 0;
    // Content of text, CDATA, comment and processing-instruction nodes; empty for elements.
    virtual std::wstring GetValue() const = 0;
    // The node and its subtree serialised as XML text.
    virtual std::wstring GetXml() const = 0;
    // Concatenated text (including CDATA) of the node and its subtree.
    virtual std::wstring GetText() const = 0;
    // Empty when missing and for comments and Other; text nodes have no attributes and throw.
    virtual std::wstring GetAttribute(const std::wstring& name) const = 0;
    // True when the element carries the attribute, also with an empty value.
    virtual bool HasAttribute(const std::wstring& name) const = 0;
    // Attributes with an empty name or value are left out.
    virtual std::map<std::wstring, std::wstring> GetAttributes() const = 0;
    virtual void SetAttribute(const std::wstring& sName, const std::wstring& sValue) = 0;
    virtual void RemoveAttribute(const std::wstring& sName) = 0;
    // The same list object on every call.
    virtual XmlNodeList* GetChildNodes() const = 0;
    // Moves pChild (a node of the same document) to the end of this node's children.
    virtual void AppendChild(XmlNode* pChild) = 0;
    virtual void RemoveChild(XmlNode* pChild) = 0;
    // The index-th child (0 = first) of any kind whose name equals `name` ignoring case.
    virtual XmlNode* GetChildNode(const std::wstring& name, int index) const = 0;
    // The index-th element or text child whose attribute equals attributeValue exactly; an
    // empty nodeName accepts every name, otherwise names compare ignoring case.
    virtual XmlNode* FindChildNode(const std::wstring& attributeName,
                                   const std::wstring& attributeValue, const std::wstring& nodeName,
                                   int index) const = 0;
    // "a/b/c": GetChildNode(segment, 0) step by step; null when a step finds nothing.
    virtual XmlNode* SelectNode(const std::wstring& path) const = 0;
    // The source line on which the parser finished reading the node (for an element: the end
    // of its start tag); 0 for nodes made after parsing.
    virtual int GetLine() const = 0;
};

} // namespace LTF::Xml
