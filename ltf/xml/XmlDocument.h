#pragma once

#include <string>

namespace LTF::Xml {

class XmlNode;

// A parsed document; owns every node wrapper made for it. Created nodes are outside the tree
// until AppendChild inserts them.
class XmlDocument {
public:
    virtual ~XmlDocument() = default;
    virtual XmlNode* GetDocumentElement() const = 0;
    virtual XmlNode* CreateComment(const std::wstring& sComment) = 0;
    virtual XmlNode* CreateElement(const std::wstring& sName) = 0;
    virtual XmlNode* CreateTextNode(const std::wstring& text) = 0;
    // The one narrow-string operation; the text is UTF-8.
    virtual XmlNode* CreateCDataSection(const std::string& text) = 0;
};

} // namespace LTF::Xml
