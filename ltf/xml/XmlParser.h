#pragma once

#include <string>

namespace LTF::Xml {

class XmlDocument;

// Owns the current document. A failed parse raises XmlParseErrorException and leaves the
// previous document in place; a successful one destroys it. One parser is used by one thread.
class XmlParser {
public:
    virtual ~XmlParser() = default;
    virtual void ReleaseDocument() = 0;
    // Encoding follows the byte-order mark and the XML declaration.
    virtual void ParseFile(const std::wstring& sFileName) = 0;
    // The text is already decoded: an encoding named in its declaration is ignored.
    virtual void ParseString(const std::wstring& sXmlString) = 0;
    // Null before the first successful parse.
    virtual XmlDocument* GetDocument() const = 0;
};

// Every kind yields the libxml2 parser (callers pass 0). The caller deletes the result.
XmlParser* CreateXmlParser(int kind = 0);

} // namespace LTF::Xml
