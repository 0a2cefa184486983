#pragma once

#include "ltf/xml/XmlParser.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace LTF::Xml::Implementation {

class LibXmlDocument;

// Parses with libxml2 under rules for untrusted input: no external entity or DTD is loaded, no
// network is touched, entity references are measured and bounded, nesting deeper than
// libxml2's default limit (256) is refused, and so is any document over kMaxDocumentBytes
// (refused before it is parsed; configurations are a few hundred kB at most). Errors that have
// no position carry line and column 0.
class LibXmlParser : public XmlParser {
public:
    static constexpr std::size_t kMaxDocumentBytes = 8u << 20;

    LibXmlParser();
    ~LibXmlParser() override;
    LibXmlParser(const LibXmlParser&) = delete;
    LibXmlParser& operator=(const LibXmlParser&) = delete;

    void ReleaseDocument() override;
    void ParseFile(const std::wstring& sFileName) override;
    void ParseString(const std::wstring& sXmlString) override;
    XmlDocument* GetDocument() const override;

    // What ParseFile does once it has the file's bytes; `source` names them in errors.
    void ParseBytes(std::string_view bytes, const std::wstring& source);

private:
    void Parse(std::string_view bytes, const std::wstring& source, bool decoded);

    std::unique_ptr<LibXmlDocument> document;
};

} // namespace LTF::Xml::Implementation
