#pragma once

#include <libxml/xmlstring.h>

#include <memory>
#include <string>
#include <string_view>

namespace LTF::Xml::Implementation {

// Strings that libxml2 hands over for the caller to free.
struct XmlCharsFree {
    void operator()(xmlChar* text) const;
};
using OwnedXmlChars = std::unique_ptr<xmlChar, XmlCharsFree>;

// libxml2 works in UTF-8; null reads as the empty string.
std::wstring WideFromXml(const xmlChar* text);
std::string Utf8ForXml(std::wstring_view text);
inline const xmlChar* AsXml(const std::string& utf8) {
    return reinterpret_cast<const xmlChar*>(utf8.c_str());
}

// Element and attribute names, with their namespace prefix when they have one.
std::string QualifiedName(const xmlChar* prefix, const xmlChar* name);

// The XML 1.0 (fifth edition) Name production, which is what the parser accepts; libxml2's own
// xmlValidateName follows an older, narrower one.
bool IsXmlName(std::wstring_view name);

// Name comparison for look-ups by element name: ASCII letters only, as documented.
bool EqualsAsciiIgnoreCase(std::string_view a, std::string_view b);

} // namespace LTF::Xml::Implementation
