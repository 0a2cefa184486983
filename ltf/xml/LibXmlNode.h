#pragma once

#include "ltf/xml/XmlNode.h"

#include <libxml/tree.h>

#include <memory>
#include <string>

namespace LTF::Xml::Implementation {

class LibXmlDocument;
class LibXmlNodeList;

// Wraps one libxml2 node; made and owned by its LibXmlDocument.
class LibXmlNode : public XmlNode {
public:
    LibXmlNode(LibXmlDocument* pOwnerDocument, xmlNodePtr pNode);
    ~LibXmlNode() override;
    LibXmlNode(const LibXmlNode&) = delete;
    LibXmlNode& operator=(const LibXmlNode&) = delete;

    XmlNodeType GetNodeType() const override;
    std::wstring GetName() const override;
    std::wstring GetValue() const override;
    std::wstring GetXml() const override;
    std::wstring GetText() const override;
    std::wstring GetAttribute(const std::wstring& name) const override;
    bool HasAttribute(const std::wstring& name) const override;
    std::map<std::wstring, std::wstring> GetAttributes() const override;
    void SetAttribute(const std::wstring& sName, const std::wstring& sValue) override;
    void RemoveAttribute(const std::wstring& sName) override;
    XmlNodeList* GetChildNodes() const override;
    void AppendChild(XmlNode* pChild) override;
    void RemoveChild(XmlNode* pChild) override;
    XmlNode* GetChildNode(const std::wstring& name, int index) const override;
    XmlNode* FindChildNode(const std::wstring& attributeName, const std::wstring& attributeValue,
                           const std::wstring& nodeName, int index) const override;
    XmlNode* SelectNode(const std::wstring& path) const override;
    int GetLine() const override;

    xmlNodePtr Handle() const { return node; }

private:
    xmlNodePtr OwnChild(XmlNode* pChild) const;
    xmlAttrPtr FindAttribute(const std::string& name) const;
    void RequireElement() const;

    LibXmlDocument* owner;
    xmlNodePtr node;
    std::unique_ptr<LibXmlNodeList> children;
};

} // namespace LTF::Xml::Implementation
